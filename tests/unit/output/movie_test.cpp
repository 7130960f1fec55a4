#include "files.h"
#include "output/aviwriter.h"
#include "output/framesinks.h"
#include "output/movieoptions.h"
#include "output/movierecorder.h"
#include "output/movieschedule.h"
#include "output/stopboxstates.h"

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace quillcap {
namespace {

TEST(MovieOptions, TheFieldsAreCheckedBeforeAnythingStarts) {
    const struct {
        const char *interval, *maxImages;
        double seconds; // 0: refused
        qint64 images;
        const char *shownInterval;
    } cases[] = {
        {"0.05", "500", 0.05, 500, "0.05"},
        {" 1.5 ", "50000", 1.5, 50000, " 1.5 "},
        {"0", "1", 0.01, 1, "0.01"}, // zero or less becomes 0.01
        {"-3", "10", 0.01, 10, "0.01"},
        {"abc", "500", 0, 0, "abc"},
        {"", "500", 0, 0, ""},
        {"0.005", "500", 0, 0, "0.005"}, // faster than a timer keeps
        {"nan", "500", 0, 0, "nan"},
        {"0.05", "0", 0, 0, "0.05"},
        {"0.05", "1.5", 0, 0, "0.05"},
        {"0.05", "-2", 0, 0, "0.05"},
        {"0.05", "many", 0, 0, "0.05"},
    };
    for (const auto &c : cases) {
        const MovieOptionsCheck check =
            CheckMovieOptions(QLatin1String(c.interval), QLatin1String(c.maxImages));
        SCOPED_TRACE(std::string(c.interval) + " / " + c.maxImages);
        EXPECT_EQ(check.intervalText, QLatin1String(c.shownInterval));
        ASSERT_EQ(check.options.has_value(), c.seconds > 0);
        EXPECT_EQ(check.problem.isEmpty(), c.seconds > 0);
        if (check.options) {
            EXPECT_DOUBLE_EQ(check.options->intervalSeconds, c.seconds);
            EXPECT_EQ(check.options->maxImages, c.images);
        }
    }
    EXPECT_EQ(MovieFrameName(u"Quillcap_"_s, 7, u"PNG"_s), u"Quillcap_00007.PNG"_s);
    EXPECT_EQ(MovieFrameName(u"m"_s, 99999, u"jpg"_s), u"m99999.jpg"_s);
}

TEST(MovieSchedule, ALateTickIsCountedAndShiftsNothingAfterIt) {
    constexpr qint64 ms = 1'000'000;
    MovieSchedule schedule(100 * ms, 0.05); // ticks at 100, 150, 200, ... ms
    EXPECT_EQ(schedule.WaitNs(0), 100 * ms);
    const struct {
        qint64 now, tick, missed, wait;
    } steps[] = {
        {100, 0, 0, 50},    {152, 1, 0, 48}, // a little late: the next stays at 200
        {333, 4, 2, 17},                     // ticks 2 and 3 passed untaken
        {335, 5, 0, 65},                     // never the same tick twice
        {1000, 18, 12, 50},
    };
    for (const auto &s : steps) {
        const MovieSchedule::Due due = schedule.TakeDue(s.now * ms);
        EXPECT_EQ(due.tick, s.tick) << s.now;
        EXPECT_EQ(due.missed, s.missed) << s.now;
        EXPECT_EQ(schedule.WaitNs(s.now * ms), s.wait * ms) << s.now;
    }
}

TEST(StopBoxStates, CountdownStartAndStopAndClosing) {
    StopBoxStates counting;
    auto step = counting.Click(true);
    EXPECT_EQ(step.caption, u"5"_s);
    EXPECT_TRUE(step.pink && step.shrink && step.startCountdown && !step.startSequence);
    EXPECT_FALSE(counting.Click(true).pink); // clicks wait for the countdown
    for (const char *caption : {"4", "3", "2", "1"}) {
        step = counting.Tick();
        EXPECT_EQ(step.caption, QLatin1String(caption));
        EXPECT_FALSE(step.startSequence);
    }
    step = counting.Tick(); // five seconds after the click
    EXPECT_EQ(step.caption, u"Stop"_s);
    EXPECT_TRUE(step.startSequence && step.stopCountdown && counting.started());
    step = counting.Click(true);
    EXPECT_TRUE(step.stopSequence);
    EXPECT_FALSE(counting.Unload().abortCapture);

    StopBoxStates direct;
    step = direct.Click(false);
    EXPECT_EQ(step.caption, u"Stop"_s);
    EXPECT_TRUE(step.startSequence && step.shrink);
    EXPECT_TRUE(direct.Unload().stopSequence); // closed from outside: frames kept

    StopBoxStates ready, halfway;
    EXPECT_TRUE(ready.Unload().abortCapture);
    halfway.Click(true);
    halfway.Tick();
    step = halfway.Unload();
    EXPECT_TRUE(step.abortCapture && step.stopCountdown);
    EXPECT_FALSE(halfway.Tick().startSequence);
}

QImage Frame(QRgb colour) {
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

TEST(FrameSinks, ATakenNameIsPassedOverAndNeverReplaced) {
    QTemporaryDir dir;
    ASSERT_TRUE(writeFile(dir.filePath(u"m_00008.png"_s), "earlier"));
    ImageSequenceSink sink(dir.path(), u"m_"_s, u"png"_s, 7);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(sink.Write(Frame(qRgb(10 * i, 0, 0)), i));
    sink.Finish();
    EXPECT_EQ(entries(dir.path()), QStringList({u"m_00007.png"_s, u"m_00008.png"_s,
                                                u"m_00009.png"_s, u"m_00010.png"_s}));
    EXPECT_EQ(readFile(dir.filePath(u"m_00008.png"_s)), "earlier");
    EXPECT_EQ(sink.namesSkipped(), 1);
    EXPECT_EQ(sink.lastNumber(), 10);
    EXPECT_EQ(QImage(dir.filePath(u"m_00010.png"_s)).pixel(0, 0), qRgb(20, 0, 0));

    ImageSequenceSink last(dir.path(), u"z"_s, u"png"_s, kLastFrameNumber);
    EXPECT_TRUE(last.Write(Frame(qRgb(1, 2, 3)), 0));
    EXPECT_FALSE(last.Write(Frame(qRgb(1, 2, 3)), 1));
    EXPECT_TRUE(last.numbersExhausted());

    ImageSequenceSink throughAFile(dir.filePath(u"m_00008.png"_s), u"m_"_s, u"png"_s, 1);
    EXPECT_FALSE(throughAFile.Write(Frame(qRgb(1, 2, 3)), 0));
    EXPECT_EQ(throughAFile.reason(), u"Not a directory"_s);
    EXPECT_TRUE(throughAFile.failedName().endsWith(u"/m_00001.png"_s));

    ASSERT_TRUE(writeFile(dir.filePath(u"v00003.avi"_s), "earlier"));
    VideoSink video([](QString *) { return std::make_unique<AviWriter>(); });
    ASSERT_TRUE(video.Open(dir.path(), u"v"_s, 3, QSize(8, 6), 0.05));
    EXPECT_TRUE(video.Write(Frame(qRgb(200, 0, 0)), 0));
    video.Finish();
    EXPECT_EQ(video.lastName(), dir.filePath(u"v00004.avi"_s));
    EXPECT_EQ(readFile(dir.filePath(u"v00003.avi"_s)), "earlier");
}

// Records the ticks it is given; can hold the writer back or fail a frame.
struct RecordingSink final : FrameSink {
    std::vector<qint64> &ticks;
    std::atomic<bool> hold = false;
    int failAt = -1;

    explicit RecordingSink(std::vector<qint64> &t) : ticks(t) {}
    bool Write(const QImage &, qint64 tick) override {
        while (hold)
            std::this_thread::sleep_for(1ms);
        if (int(ticks.size()) == failAt)
            return m_failedName = u"/f/m_00003.png"_s, m_reason = u"Disk full"_s, false;
        ticks.push_back(tick);
        m_lastName = u"/f/m_"_s + QString::number(ticks.size());
        return true;
    }
    void Finish() override {}
};

// Runs a sequence at 100 frames a second; `stopAfterMs` stops and releases it.
MovieRecorder::Outcome Record(RecordingSink *sink, qint64 maxImages, int stopAfterMs = -1) {
    MovieRecorder recorder(
        std::unique_ptr<FrameSink>(sink), [] { return Frame(0); }, MovieOptions{0.01, maxImages});
    MovieRecorder::Outcome outcome;
    QEventLoop loop;
    QObject::connect(&recorder, &MovieRecorder::finished, &loop, [&](auto o) {
        outcome = o;
        loop.quit();
    });
    recorder.Start();
    if (stopAfterMs >= 0)
        QTimer::singleShot(stopAfterMs, &loop, [&] { recorder.Stop(), sink->hold = false; });
    QTimer::singleShot(30'000, &loop, &QEventLoop::quit); // a hung writer fails, not hangs
    loop.exec();
    return outcome;
}

TEST(MovieRecorder, FramesGoInOrderAndASlowWriterCostsCountedTicksNotMemory) {
    std::vector<qint64> ticks;
    auto *slow = new RecordingSink(ticks);
    slow->hold = true; // nothing is written until the sequence stops
    MovieRecorder::Outcome outcome = Record(slow, 1000, 300);
    EXPECT_EQ(outcome.end, MovieRecorder::End::Stopped);
    // The queue's frames and the one the writer held, in the order taken.
    EXPECT_EQ(outcome.framesWritten, MovieRecorder::kQueueFrames + 1);
    EXPECT_GT(outcome.ticksMissed, 0);
    EXPECT_EQ(ticks.size(), 5u);
    EXPECT_EQ(std::adjacent_find(ticks.begin(), ticks.end(), std::greater_equal<>()), ticks.end());

    ticks.clear();
    outcome = Record(new RecordingSink(ticks), 5);
    EXPECT_EQ(outcome.end, MovieRecorder::End::MaxImages);
    EXPECT_EQ(outcome.framesWritten, 5);
    EXPECT_EQ(outcome.lastName, u"/f/m_5"_s);

    ticks.clear();
    auto *failing = new RecordingSink(ticks);
    failing->failAt = 2;
    outcome = Record(failing, 1000);
    EXPECT_EQ(outcome.end, MovieRecorder::End::SaveFailed);
    EXPECT_EQ(outcome.framesWritten, 2);
    EXPECT_EQ(outcome.lastName, u"/f/m_2"_s);
    EXPECT_EQ(outcome.failedName + outcome.reason, u"/f/m_00003.pngDisk full"_s);
}

} // namespace
} // namespace quillcap
