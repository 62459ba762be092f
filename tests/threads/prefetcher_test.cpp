// The worker that decodes ahead, with a scripted decoder whose jobs end when
// the test lets them. Built on its own so that the ThreadSanitizer build
// compiles nothing else.

#include "platform/pictures/picture_prefetcher.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <future>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace pictavo::platform {
namespace {

class FakePicture final : public Picture {
public:
    explicit FakePicture(std::string path) : path(std::move(path)) {}
    int widthPx() const override { return 1; }
    int heightPx() const override { return 1; }
    std::string path;
};

// Decodes on the worker thread; each decode waits until the test lets it go
// or the job is cancelled.
struct Script {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> started;
    std::set<std::string> released;
    std::set<std::string> stubborn;  // these do not look at the cancel flag
    std::vector<std::string> sawCancel;
    std::thread::id madeOn, destroyedOn;

    void release(const std::string& path) {
        std::lock_guard lock(mutex);
        released.insert(path);
        changed.notify_all();
    }
    void waitStarted(std::size_t count) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return started.size() >= count; });
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
        const bool stubborn = script_.stubborn.count(path) > 0;
        while (!script_.released.count(path) && (stubborn || !cancel))
            script_.changed.wait_for(lock, std::chrono::milliseconds(1));
        if (cancel) {
            script_.sawCancel.push_back(path);
            return nullptr;
        }
        return std::make_shared<FakePicture>(path);
    }

private:
    Script& script_;
};

PicturePrefetcher::MakeDecoder scripted(Script& script) {
    return [&script] { return std::make_unique<ScriptedDecoder>(script); };
}

TEST(Prefetcher, TakeWaitsForTheJobUnderWayAndHandsOverItsPicture) {
    Script script;
    PicturePrefetcher prefetcher(scripted(script));
    ASSERT_TRUE(prefetcher.request("a.jpg"));
    script.waitStarted(1);
    auto taking = std::async(std::launch::async, [&] { return prefetcher.take("a.jpg"); });
    script.release("a.jpg");
    const auto taken = taking.get();
    ASSERT_TRUE(taken.has_value());
    ASSERT_NE(*taken, nullptr);
    EXPECT_EQ(static_cast<const FakePicture&>(**taken).path, "a.jpg");
    EXPECT_FALSE(prefetcher.take("a.jpg").has_value()) << "handed over once, not kept";
    EXPECT_EQ(script.started, std::vector<std::string>{"a.jpg"});
}

TEST(Prefetcher, ANewerRequestCancelsTheRunningJobAndReplacesTheQueuedOne) {
    Script script;
    PicturePrefetcher prefetcher(scripted(script));
    prefetcher.request("a.jpg");
    script.waitStarted(1);
    prefetcher.request("b.jpg");  // a is cancelled, b waits
    prefetcher.request("c.jpg");  // b never starts
    script.release("c.jpg");
    script.waitStarted(2);
    const auto c = prefetcher.take("c.jpg");
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(static_cast<const FakePicture&>(**c).path, "c.jpg");
    EXPECT_EQ(script.started, (std::vector<std::string>{"a.jpg", "c.jpg"}));
    EXPECT_EQ(script.sawCancel, std::vector<std::string>{"a.jpg"});
    EXPECT_FALSE(prefetcher.take("a.jpg").has_value());
    EXPECT_FALSE(prefetcher.take("b.jpg").has_value());
    EXPECT_EQ(prefetcher.counts().discarded, 2);
}

TEST(Prefetcher, AFinishedPictureForAnotherPathIsDropped) {
    Script script;
    PicturePrefetcher prefetcher(scripted(script));
    script.release("a.jpg");
    prefetcher.request("a.jpg");
    while (prefetcher.counts().finished < 1) std::this_thread::yield();
    prefetcher.request("b.jpg");
    EXPECT_FALSE(prefetcher.take("a.jpg").has_value());
    script.release("b.jpg");
    script.waitStarted(2);
    EXPECT_TRUE(prefetcher.take("b.jpg").has_value());
    EXPECT_EQ(prefetcher.counts().discarded, 1);
}

TEST(Prefetcher, AQueuedJobIsLeftToTheCallerAndAnUnknownPathGivesNothing) {
    Script script;
    script.stubborn.insert("a.jpg");
    {
        PicturePrefetcher prefetcher(scripted(script));
        prefetcher.request("a.jpg");
        script.waitStarted(1);
        prefetcher.request("b.jpg");
        EXPECT_FALSE(prefetcher.take("b.jpg").has_value()) << "not started: the caller decodes it at once";
        EXPECT_FALSE(prefetcher.take("x.jpg").has_value());
        script.release("a.jpg");
    }
    EXPECT_EQ(script.started, std::vector<std::string>{"a.jpg"});
}

TEST(Prefetcher, EndsWhileDecodingAndRunsItsDecoderOnTheWorker) {
    Script script;
    {
        PicturePrefetcher prefetcher(scripted(script));
        prefetcher.request("slow.jpg");
        script.waitStarted(1);
    }
    EXPECT_EQ(script.sawCancel, std::vector<std::string>{"slow.jpg"});
    EXPECT_NE(script.madeOn, std::this_thread::get_id());
    EXPECT_EQ(script.madeOn, script.destroyedOn);
}

}  // namespace
}  // namespace pictavo::platform
