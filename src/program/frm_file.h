#pragma once
// The source selection dialog: a pattern text with drive, directory and file
// lists that follow it and can write into it.

#include <string>

#include "platform/form.h"
#include "program/file_lists.h"

namespace pictavo {

class App;

class FrmFile {
public:
    explicit FrmFile(App& app);

    platform::Form form;
    platform::Control& Tfile;
    DriveList Drive1;
    DirList Dir1;
    FileList File1;

    // The file part of the pattern text.
    std::string FileName();

private:
    void Form_Load();
    void Tfile_Change();
    void Drive1_Change();
    void Dir1_Click();
    void Dir1_Change();
    void File1_Click();
    void File1_DblClick();
    void Cok_Click();
    void Cab_Click();

    App& app_;
    int dirClicked_ = 0;
};

}  // namespace pictavo
