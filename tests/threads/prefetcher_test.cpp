// The worker that decodes ahead, with a scripted decoder whose jobs end when
// the test lets them. Built on its own so that the ThreadSanitizer build
// compiles nothing else.

#include "platform/pictures/picture_prefetcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace pictavo::platform {
namespace {

using Paths = std::vector<std::string>;

class TestPicture final : public Picture {
public:
    explicit TestPicture(std::string path) : path(std::move(path)) {}
    int widthPx() const override { return 1; }
    int heightPx() const override { return 1; }
    std::string path;
};

std::string pathOf(const std::shared_ptr<const Picture>& picture) {
    return picture ? static_cast<const TestPicture&>(*picture).path : "<null>";
}

// Decodes on the worker thread; a job ends when the test releases its path
// (or all of them), or when it is cancelled. Broken paths give nothing.
struct Script {
    std::mutex mutex;
    std::condition_variable changed;
    Paths started, cancelled;
    std::set<std::string> released, broken;
    bool releaseAll = false;
    std::thread::id madeOn, preparedOn, destroyedOn;

    void release(const std::string& path) {
        std::lock_guard lock(mutex);
        released.insert(path);
        changed.notify_all();
    }
    void waitStarted(std::size_t count) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return started.size() >= count; });
    }
    Paths startedSoFar() {
        std::lock_guard lock(mutex);
        return started;
    }
};

class ScriptedDecoder final : public PicturePrefetcher::Decoder {
public:
    explicit ScriptedDecoder(Script& script) : script_(script) {
        std::lock_guard lock(script_.mutex);
        script_.madeOn = std::this_thread::get_id();
    }
    ~ScriptedDecoder() override {
        std::lock_guard lock(script_.mutex);
        script_.destroyedOn = std::this_thread::get_id();
    }
    std::shared_ptr<const Picture> decode(const std::string& path, const std::atomic<bool>& cancel) override {
        std::unique_lock lock(script_.mutex);
        script_.started.push_back(path);
        script_.changed.notify_all();
        while (!script_.releaseAll && !script_.released.count(path) && !cancel)
            script_.changed.wait_for(lock, std::chrono::milliseconds(1));
        if (cancel) {
            script_.cancelled.push_back(path);
            return nullptr;
        }
        return script_.broken.count(path) ? nullptr : std::make_shared<TestPicture>(path);
    }

    void prepare() override {
        std::lock_guard lock(script_.mutex);
        script_.preparedOn = std::this_thread::get_id();
        script_.changed.notify_all();
    }

private:
    Script& script_;
};

struct Fixture : ::testing::Test {
    Script script;
    PicturePrefetcher prefetcher{[this] { return std::make_unique<ScriptedDecoder>(script); }, 3};
};
using Prefetcher = Fixture;

TEST_F(Prefetcher, DecodesTheListInOrderAndHoldsWhatIsStillWanted) {
    script.releaseAll = true;
    script.broken.insert("bad.jpg");
    prefetcher.want({"a.jpg", "bad.jpg", "b.jpg"});
    script.waitStarted(3);
    EXPECT_EQ(pathOf(prefetcher.load("b.jpg")), "b.jpg");
    EXPECT_EQ(prefetcher.load("bad.jpg"), nullptr);
    const auto a = prefetcher.load("a.jpg");
    prefetcher.want({"b.jpg", "a.jpg"});
    EXPECT_EQ(prefetcher.load("a.jpg"), a) << "held, not decoded again";
    EXPECT_EQ(prefetcher.load("bad.jpg"), nullptr);
    EXPECT_EQ(script.startedSoFar(), (Paths{"a.jpg", "bad.jpg", "b.jpg", "bad.jpg"}))
        << "a failure is held while it is wanted, like a picture";
}

TEST_F(Prefetcher, ANewerListStopsTheStaleJobAndItsQueueNeverStarts) {
    prefetcher.want({"a.jpg", "b.jpg", "c.jpg"});
    script.waitStarted(1);
    prefetcher.want({"d.jpg"});
    script.release("d.jpg");
    EXPECT_EQ(pathOf(prefetcher.load("d.jpg")), "d.jpg");
    EXPECT_EQ(script.startedSoFar(), (Paths{"a.jpg", "d.jpg"}));
    EXPECT_EQ(script.cancelled, Paths{"a.jpg"});
    EXPECT_EQ(prefetcher.counts().stopped, 1);
}

TEST_F(Prefetcher, APictureNeededNowGoesFirstAndTheJobItInterruptedComesBack) {
    script.release("a.jpg");
    prefetcher.want({"a.jpg", "b.jpg"});
    script.waitStarted(2);
    script.release("c.jpg");
    prefetcher.want({"c.jpg", "a.jpg", "b.jpg"});
    EXPECT_EQ(pathOf(prefetcher.load("c.jpg")), "c.jpg");
    script.release("b.jpg");
    script.waitStarted(4);
    EXPECT_EQ(pathOf(prefetcher.load("b.jpg")), "b.jpg");
    EXPECT_EQ(script.startedSoFar(), (Paths{"a.jpg", "b.jpg", "c.jpg", "b.jpg"}));
    EXPECT_EQ(script.cancelled, Paths{"b.jpg"});
}

TEST_F(Prefetcher, ReadyAsksFirstWithoutWaitingAndWakesTheWaiterWhenTheJobEnds) {
    std::atomic<int> wakes{0};
    auto wake = [&wakes] { ++wakes; };
    prefetcher.want({"a.jpg", "b.jpg"});
    script.waitStarted(1);
    EXPECT_FALSE(prefetcher.ready("b.jpg", wake));
    script.release("b.jpg");
    // As the show's loop waits: a wake after each ended job, none lost.
    for (int seen = wakes; !prefetcher.ready("b.jpg", wake); seen = wakes)
        while (wakes == seen) std::this_thread::yield();
    EXPECT_EQ(pathOf(prefetcher.load("b.jpg")), "b.jpg");
    EXPECT_EQ(script.cancelled, Paths{"a.jpg"}) << "the job ahead gave way at once";
    EXPECT_EQ(std::pair(prefetcher.counts().waited, prefetcher.counts().served), std::pair(1, 0));
}

// The limit is three pictures here; the one on the screen counts until it goes.
TEST_F(Prefetcher, DecodesAheadOnlyWhileFewerPicturesThanTheLimitAreAlive) {
    script.releaseAll = true;
    auto a = prefetcher.load("a.jpg");
    auto b = prefetcher.load("b.jpg");
    prefetcher.want({"c.jpg", "d.jpg"});
    auto c = prefetcher.load("c.jpg");
    EXPECT_EQ(prefetcher.counts().peakAlive, 3) << "what is needed now goes beyond the limit";
    EXPECT_EQ(script.startedSoFar().size(), 3u) << "d waits";
    a.reset();
    b.reset();
    script.waitStarted(4);
    EXPECT_EQ(pathOf(prefetcher.load("d.jpg")), "d.jpg");
    prefetcher.want({});
    const std::weak_ptr<const Picture> held = prefetcher.load("e.jpg");
    prefetcher.want({});
    EXPECT_TRUE(held.expired()) << "an empty list lets go of everything";
    EXPECT_EQ(prefetcher.counts().peakAlive, 3);
}

TEST_F(Prefetcher, PreparesItsDecoderOnTheWorkerBeforeAnyPictureIsAskedFor) {
    prefetcher.prepare();
    std::unique_lock lock(script.mutex);
    script.changed.wait(lock, [&] { return script.preparedOn != std::thread::id(); });
    EXPECT_EQ(script.preparedOn, script.madeOn);
    EXPECT_NE(script.preparedOn, std::this_thread::get_id());
    EXPECT_TRUE(script.started.empty());
}

TEST(PrefetcherEnd, StopsTheJobUnderWayAndLeavesItsPicturesUsable) {
    Script script;
    std::shared_ptr<const Picture> kept;
    {
        PicturePrefetcher prefetcher([&] { return std::make_unique<ScriptedDecoder>(script); });
        script.release("kept.jpg");
        kept = prefetcher.load("kept.jpg");
        prefetcher.want({"kept.jpg", "slow.jpg"});
        script.waitStarted(2);
    }
    EXPECT_EQ(script.cancelled, Paths{"slow.jpg"});
    EXPECT_NE(script.madeOn, std::this_thread::get_id());
    EXPECT_EQ(script.madeOn, script.destroyedOn);
    EXPECT_EQ(pathOf(kept), "kept.jpg");
    kept.reset();
}

}  // namespace
}  // namespace pictavo::platform
