// Stored settings of any text: read, written back and read again, they must
// come back the same.

#include "core/settings.h"
#include "fuzz_text.h"
#include "platform/fake/fake_settings.h"

namespace {

const char* const kKeys[] = {"WinTop", "WinLeft", "SourceFile", "SubScan", "DisplayName", "Loop",
                             "SaveIndex", "Transparence", "Shadow", "ContinueDir", "Continue", "Wait"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> values = pictavo::fuzz::texts(data, size, std::size(kKeys));
    pictavo::platform::fake::FakeSettings store;
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!values[i].empty())
            store.values[std::string(pictavo::kSettingsApp) + "\\" + pictavo::kSettingsSection + "\\" + kKeys[i]] =
                values[i];
    const auto ignore = [](const std::string&) {};
    const pictavo::Settings first = pictavo::readSettings(store, ignore);
    pictavo::fuzz::require(first.wait >= 0 && first.wait <= 60 && first.continuePos >= 0);
    pictavo::writeSettings(store, first, true, ignore);
    const pictavo::Settings again = pictavo::readSettings(store, ignore);
    pictavo::fuzz::require(again.wait == first.wait && again.continuePos == first.continuePos &&
                           again.subScan == first.subScan && again.sourceFile == first.sourceFile);
    return 0;
}
