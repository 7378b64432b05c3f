// The delayed change notification and the synchronisation it is built on. Timing enters only
// as generous margins: nothing here depends on how fast the machine is.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/Event.h"
#include "platform/Thread.h"
#include "tests/dialogs/DialogFixture.h"

namespace wm::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using platform::WaitResult;

// Polls until `done` holds or a long deadline passes.
template <class Predicate>
bool Eventually(Predicate done) {
    const auto deadline = Clock::now() + 30s;
    while (!done()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

TEST(ManualResetEvent, StaysSignalledUntilReset) {
    platform::ManualResetEvent event;
    EXPECT_EQ(event.WaitFor(1), WaitResult::TimedOut);
    event.Signal();
    EXPECT_EQ(event.WaitFor(0), WaitResult::Signalled);
    EXPECT_EQ(event.Wait(), WaitResult::Signalled);
    event.Reset();
    EXPECT_EQ(event.WaitFor(1), WaitResult::TimedOut);
}

TEST(Thread, RunsItsBodyAndIsJoinedByItsOwner) {
    platform::ManualResetEvent go;
    std::atomic<int> steps{0};
    {
        platform::Thread thread([&] {
            go.Wait();
            ++steps;
            throw std::runtime_error("dropped");  // must not end the process
        });
        go.Signal();
    }
    EXPECT_EQ(steps.load(), 1);
    platform::Thread joined([&] { ++steps; });
    joined.Join();
    joined.Join();
    EXPECT_EQ(steps.load(), 2);
}

using DelayedChangeTest = DialogTest;

TEST_F(DelayedChangeTest, WithoutADelayTheHandlerAnswersAtOnce) {
    auto dialog = TFarDialog::New<TFarDialog>(kDialogId);
    auto* edit = dialog->AddEdit(0, 0, 10, u"");
    EXPECT_TRUE(edit->DoChange());
    edit->SetOnChange([](TFarDialog::TCustomEdit&, bool& allow) { allow = false; });
    EXPECT_FALSE(edit->DoChange());
}

TEST_F(DelayedChangeTest, ChangesInsideTheDelayGiveOneCallAfterTheLast) {
    auto dialog = TFarDialog::New<TFarDialog>(kDialogId);
    auto* edit = dialog->AddEdit(0, 0, 10, u"");
    using Clock = std::chrono::steady_clock;
    std::atomic<int> changes{0}, calls{0}, changesSeen{-1};
    std::atomic<Clock::rep> calledAt{0};
    edit->SetOnChange([&](TFarDialog::TCustomEdit&, bool& allow) {
        changesSeen = changes.load();
        calledAt = Clock::now().time_since_epoch().count();
        ++calls;
        allow = false;  // not used for delayed calls
    });
    // Five changes 100 ms apart inside a 1 s delay: each restarts the quiet period, so the one
    // call comes a whole delay after the last change, not a delay after the first.
    edit->SetChangeDelay(1000);
    Clock::time_point lastChange;
    for (int i = 0; i < 5; ++i) {
        if (i > 0) std::this_thread::sleep_for(100ms);
        ++changes;
        lastChange = Clock::now();
        EXPECT_TRUE(edit->DoChange());
    }
    ASSERT_TRUE(Eventually([&] { return calls.load() > 0; }));
    EXPECT_EQ(changesSeen.load(), 5);
    EXPECT_GE(Clock::time_point(Clock::duration(calledAt.load())) - lastChange, 950ms);
    std::this_thread::sleep_for(2s);  // twice the delay: no second call comes
    EXPECT_EQ(calls.load(), 1);

    // The worker serves later changes too.
    ++changes;
    edit->DoChange();
    ASSERT_TRUE(Eventually([&] { return calls.load() == 2; }));
    EXPECT_EQ(changesSeen.load(), 6);
}

TEST_F(DelayedChangeTest, AFailingDelayedHandlerIsLogged) {
    auto dialog = TFarDialog::New<TFarDialog>(kDialogId);
    auto* edit = dialog->AddEdit(0, 0, 10, u"");
    std::atomic<int> calls{0};
    edit->SetOnChange([&](TFarDialog::TCustomEdit&, bool&) {
        ++calls;
        throw EFarError(u"broken");
    });
    edit->SetChangeDelay(10);
    edit->DoChange();
    ASSERT_TRUE(Eventually([&] { return calls.load() == 1; }));
    dialog->RemoveControl(edit);  // joins the worker
    EXPECT_EQ(plugin->logLines, std::vector<String>{u"OnChange: Exception EFarError: broken"});
    EXPECT_TRUE(host.Messages().empty());  // no message box from the worker
}

TEST_F(DelayedChangeTest, DestroyingAnEditEndsItsWaitingWorkerWithoutACall) {
    auto dialog = TFarDialog::New<TFarDialog>(kDialogId);
    auto* edit = dialog->AddEdit(0, 0, 10, u"");
    std::atomic<int> calls{0};
    edit->SetOnChange([&](TFarDialog::TCustomEdit&, bool&) { ++calls; });
    edit->SetChangeDelay(10 * 60 * 1000);
    edit->DoChange();
    const auto start = Clock::now();
    dialog->RemoveControl(edit);
    EXPECT_LT(Clock::now() - start, 60s);  // far below the delay: woken, not timed out
    EXPECT_EQ(calls.load(), 0);
    EXPECT_EQ(dialog->ControlCount(), 0);
}

}  // namespace
}  // namespace wm::test
