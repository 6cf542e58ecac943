// Single transfer attempts (DownloadWorker::Perform) against the local test
// server: resume, time-outs, HTTP answers, failed writes and the size probe.
#include "engine/download_task.h"
#include "engine/download_worker.h"
#include "tests/unit/engine/download_test_support.h"

#include <atomic>

namespace {

class DownloadTransferTest : public DownloadTest {
protected:
    void SetUp() override {
        DownloadTest::SetUp();
        recorder.Attach(manager);
    }
    std::unique_ptr<DownloadTask> Task(const std::string& name, long timeoutMs = 20000, bool probe = false) {
        return std::unique_ptr<DownloadTask>(
            new DownloadTask(Wide(server.Url(name)), folder / Wide(name), probe, timeoutMs));
    }

    DownloadWorker worker{manager};
};

TEST_F(DownloadTransferTest, StalledTransferResumesWithRangeFromTheFileLength) {
    const std::string content = TestPattern(300000, 1);
    ASSERT_TRUE(server.PutFile("big.bin", content));
    ASSERT_TRUE(server.SetFault("big.bin", "kind=stall&after=70000&secs=30&times=1"));
    auto task = Task("big.bin", 1500);

    EXPECT_EQ(DownloadWorker::kTimedOut, worker.Perform(*task));
    EXPECT_EQ(1500, task->timeout);  // data arrived: same time-out
    EXPECT_TRUE(task->append);
    EXPECT_EQ(0u, task->retries);
    EXPECT_EQ(content.substr(0, 70000), ReadFileText(task->path));
    EXPECT_TRUE(recorder.Messages().empty());  // time-outs are not reported

    // The resumed transfer gets a time-out that a loaded machine cannot run out.
    task->timeout = 20000;
    EXPECT_EQ(DownloadWorker::kDone, worker.Perform(*task));
    EXPECT_EQ(content, ReadFileText(task->path));
    std::vector<LoggedRequest> log = server.LogFor("/big.bin");
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ("-", log[0].range);
    EXPECT_EQ("bytes=70000-", log[1].range);
    EXPECT_EQ(206, log[1].status);
    EXPECT_EQ(300000, task->received.load());
    EXPECT_EQ(300000u, manager.TotalReceived());
}

TEST_F(DownloadTransferTest, SilentTimeOutDoublesTheTimeOut) {
    const std::string content = TestPattern(5000, 2);
    ASSERT_TRUE(server.PutFile("quiet.bin", content));
    ASSERT_TRUE(server.SetFault("quiet.bin", "kind=stall&after=0&secs=30&times=1"));
    auto task = Task("quiet.bin", 400);
    task->retries = 5;

    EXPECT_EQ(DownloadWorker::kTimedOut, worker.Perform(*task));
    EXPECT_EQ(800, task->timeout);
    EXPECT_EQ(1u, task->retries);
    task->timeout = 20000;  // the next transfer is not about time-outs
    EXPECT_EQ(DownloadWorker::kDone, worker.Perform(*task));
    EXPECT_EQ(content, ReadFileText(task->path));
}

TEST_F(DownloadTransferTest, CutConnectionCountsAndResumes) {
    const std::string content = TestPattern(90000, 3);
    ASSERT_TRUE(server.PutFile("cut.bin", content));
    ASSERT_TRUE(server.SetFault("cut.bin", "kind=cut&after=30000&times=1"));
    auto task = Task("cut.bin");

    EXPECT_EQ(DownloadWorker::kRetryLater, worker.Perform(*task));
    EXPECT_EQ(1u, task->retries);
    ASSERT_EQ(1u, recorder.Messages().size());
    EXPECT_EQ(0u, recorder.Messages()[0].find("curl_easy_perform() failed:18: "));
    EXPECT_EQ(DownloadWorker::kDone, worker.Perform(*task));
    EXPECT_EQ(content, ReadFileText(task->path));
    EXPECT_EQ("bytes=30000-", server.LogFor("/cut.bin").back().range);
}

// Every HTTP answer but a 2xx or a followed redirect: what the attempt gives,
// what it reports, and that no error page lands in the file.
TEST_F(DownloadTransferTest, HttpAnswersOtherThanTheFile) {
    struct Case {
        const char* fault;
        int result;
        const char* message;  // %s is the URL
        uint32_t retries;
    };
    const Case cases[] = {
        {"kind=status&code=404", DownloadWorker::kFailed, "curl_easy_getinfo() retcode = 404; file=%s\n", 0},
        {"kind=status&code=500", DownloadWorker::kRetryLater, "PostFinish() retcode = 500; file=%s\n", 1},
        {"kind=status&code=403", DownloadWorker::kRetryLater, "PostFinish() retcode = 403; file=%s\n", 1},
        {"kind=status&code=503", DownloadWorker::kRetryLater, "PostFinish() retcode = 503; file=%s\n", 1},
        {"kind=redirect&code=302", DownloadWorker::kFailed, "curl_easy_perform retcode=302; redirect_url is null!", 0},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        std::string name = "answer" + std::to_string(n++) + ".bin";
        ASSERT_TRUE(server.PutFile(name, TestPattern(1000, 4)));
        ASSERT_TRUE(server.SetFault(name, c.fault));
        auto task = Task(name);
        size_t before = recorder.Messages().size();

        EXPECT_EQ(c.result, worker.Perform(*task));
        EXPECT_EQ(c.retries, task->retries);
        EXPECT_FALSE(task->append && c.retries > 0);  // a counted answer starts afresh
        EXPECT_EQ("", ReadFileText(task->path));
        char expected[512];
        std::snprintf(expected, sizeof(expected), c.message, WideToMulti(task->url, CP_ACP).c_str());
        ASSERT_EQ(before + 1, recorder.Messages().size());
        EXPECT_EQ(expected, recorder.Messages().back());
    }
    EXPECT_TRUE(recorder.Done().empty());
}

// A resumed attempt that gets an error page, or a whole file where the rest
// was asked for, leaves the partial file untouched and starts it afresh.
TEST_F(DownloadTransferTest, AnswersThatCannotResumeRestartTheFile) {
    const char* faults[] = {"kind=status&code=500&times=1", "kind=status&code=416&times=1", "kind=norange"};
    int n = 0;
    for (const char* fault : faults) {
        SCOPED_TRACE(fault);
        std::string name = "part" + std::to_string(n) + ".bin";
        const std::string content = TestPattern(120000, 50 + n++);
        ASSERT_TRUE(server.PutFile(name, content));
        ASSERT_TRUE(server.SetFault(name, "kind=stall&after=40000&times=1"));
        auto task = Task(name, 1500);
        ASSERT_EQ(DownloadWorker::kTimedOut, worker.Perform(*task));

        ASSERT_TRUE(server.SetFault(name, fault));
        EXPECT_EQ(DownloadWorker::kRetryLater, worker.Perform(*task));
        EXPECT_EQ(content.substr(0, 40000), ReadFileText(task->path));
        EXPECT_FALSE(task->append);
        EXPECT_EQ(1u, task->retries);

        task->timeout = 20000;  // the fresh transfer is not about time-outs
        EXPECT_EQ(DownloadWorker::kDone, worker.Perform(*task));
        EXPECT_EQ(content, ReadFileText(task->path));
        EXPECT_EQ("-", server.LogFor("/" + name).back().range);  // fresh, not resumed
    }
}

TEST_F(DownloadTransferTest, RedirectIsFollowedToItsTarget) {
    const std::string content = TestPattern(50000, 6);
    ASSERT_TRUE(server.PutFile("real/target.bin", content));
    ASSERT_TRUE(server.SetFault("moved.bin", "kind=redirect&code=301&to=/real/target.bin"));
    ASSERT_TRUE(server.SetFault("again.bin", "kind=redirect&code=303&to=/moved.bin"));
    auto task = Task("again.bin", 20000, true);

    EXPECT_EQ(DownloadWorker::kDone, worker.Perform(*task));
    EXPECT_EQ(content, ReadFileText(task->path));
    EXPECT_EQ(50000, task->total.load());  // the probe measured the target, not the redirect
    EXPECT_EQ(1u, recorder.Done().size());
    std::vector<LoggedRequest> log = server.Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ("/real/target.bin", log.back().path);
    EXPECT_EQ(200, log.back().status);

    ASSERT_TRUE(server.SetFault("loop.bin", "kind=redirect&code=302&to=/loop.bin"));
    auto looping = Task("loop.bin");
    EXPECT_EQ(DownloadWorker::kRetryLater, worker.Perform(*looping));
    EXPECT_EQ(1u, looping->retries);
    EXPECT_EQ(0u, recorder.Messages().back().find("curl_easy_perform() failed:47: "));
}

TEST_F(DownloadTransferTest, FailedDiskWriteEndsTheAttemptAndTheFileResumes) {
    const std::string content = TestPattern(100000, 7);
    ASSERT_TRUE(server.PutFile("disk.bin", content));
    std::atomic<long long> budget{25000};  // the disk fills after this many bytes
    manager.SetWriteHook([&budget](HANDLE file, const char* data, size_t size) -> size_t {
        long long allowed = budget.load();
        size_t take = allowed < 0 ? size : static_cast<size_t>(std::min<long long>(allowed, size));
        DWORD written = 0;
        if (take > 0) WriteFile(file, data, static_cast<DWORD>(take), &written, nullptr);
        if (allowed >= 0) budget -= written;
        return written;
    });
    auto task = Task("disk.bin");

    EXPECT_EQ(DownloadWorker::kRetryLater, worker.Perform(*task));
    EXPECT_EQ(1u, task->retries);
    ASSERT_EQ(1u, recorder.Messages().size());
    EXPECT_EQ(0u, recorder.Messages()[0].find("curl_easy_perform() failed:23: "));
    EXPECT_EQ(25000, task->received.load());
    EXPECT_EQ(25000u, manager.TotalReceived());
    EXPECT_EQ(content.substr(0, 25000), ReadFileText(task->path));

    budget = -1;  // space again
    EXPECT_EQ(DownloadWorker::kDone, worker.Perform(*task));
    EXPECT_EQ(content, ReadFileText(task->path));
    EXPECT_EQ("bytes=25000-", server.LogFor("/disk.bin").back().range);
}

TEST_F(DownloadTransferTest, ProbedCompleteFileIsOfferedWithoutATransfer) {
    const std::string content = TestPattern(30000, 9);
    ASSERT_TRUE(server.PutFile("whole.bin", content));
    auto task = Task("whole.bin", 20000, true);
    task->append = true;  // a later attempt
    ASSERT_TRUE(WriteFileAtomically(task->path, content.data(), content.size()));

    EXPECT_EQ(DownloadWorker::kDone, worker.Perform(*task));
    EXPECT_EQ(30000, task->total.load());
    EXPECT_FALSE(task->probe);
    std::vector<LoggedRequest> log = server.LogFor("/whole.bin");
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ("HEAD", log[0].method);
    EXPECT_EQ(1u, recorder.Done().size());
}

// A local file longer than the probed size holds no head of the server's
// file: it is started afresh, not offered as complete.
TEST_F(DownloadTransferTest, LocalFileLongerThanTheProbedSizeStartsAfresh) {
    const std::string content = TestPattern(30000, 12);
    ASSERT_TRUE(server.PutFile("shorter.bin", content));
    auto task = Task("shorter.bin", 20000, true);
    task->append = true;
    const std::string stale = TestPattern(45000, 13);
    ASSERT_TRUE(WriteFileAtomically(task->path, stale.data(), stale.size()));

    EXPECT_EQ(DownloadWorker::kDone, worker.Perform(*task));
    EXPECT_EQ(content, ReadFileText(task->path));
    EXPECT_EQ("-", server.LogFor("/shorter.bin").back().range);
    EXPECT_EQ(1u, recorder.Done().size());
}

// The server replaces a file between two attempts: the resume must not
// splice the old head onto the new tail. With validators the If-Range
// answer says so; without them the Content-Range total against the probe.
TEST_F(DownloadTransferTest, ResumeAfterTheServerReplacedTheFileStartsAfresh) {
    int n = 0;
    for (bool validators : {true, false}) {
        SCOPED_TRACE(validators ? "ETag and Last-Modified" : "no validators");
        ASSERT_TRUE(server.SetValidators(validators));
        const std::string name = "replaced" + std::to_string(n) + ".bin";
        const std::string before = TestPattern(100000, 60 + n);
        const std::string after = TestPattern(250000, 70 + n++);
        ASSERT_TRUE(server.PutFile(name, before));
        ASSERT_TRUE(server.SetFault(name, "kind=cut&after=40000&times=1"));
        auto task = Task(name, 20000, true);
        ASSERT_EQ(DownloadWorker::kRetryLater, worker.Perform(*task));
        ASSERT_EQ(before.substr(0, 40000), ReadFileText(task->path));
        EXPECT_EQ(100000, task->total.load());

        ASSERT_TRUE(server.PutFile(name, after));
        EXPECT_EQ(DownloadWorker::kRetryLater, worker.Perform(*task));
        EXPECT_FALSE(task->append);
        EXPECT_TRUE(task->probe);
        EXPECT_EQ(before.substr(0, 40000), ReadFileText(task->path));  // nothing of the new file spliced on

        size_t asked = recorder.Done().size();
        EXPECT_EQ(DownloadWorker::kDone, worker.Perform(*task));
        EXPECT_EQ(after, ReadFileText(task->path));
        EXPECT_EQ(250000, task->total.load());
        EXPECT_EQ(asked + 1, recorder.Done().size());

        std::vector<LoggedRequest> gets;
        for (const LoggedRequest& r : server.LogFor("/" + name))
            if (r.method == "GET") gets.push_back(r);
        ASSERT_EQ(3u, gets.size());
        EXPECT_EQ("bytes=40000-", gets[1].range);
        EXPECT_EQ(validators, gets[1].ifRange != "-") << gets[1].ifRange;
        EXPECT_EQ("-", gets[2].range);
    }
}

// A probed file that the done callback rejects is probed again: the old size
// would hand over a cut copy of a longer new file as complete.
TEST_F(DownloadTransferTest, RejectedProbedFileIsProbedAgain) {
    const std::string before = TestPattern(50000, 14);
    const std::string after = TestPattern(120000, 15);
    ASSERT_TRUE(server.PutFile("again.bin", before));
    recorder.Attach(manager, [&](const std::wstring& path) { return ReadFileText(path) == after; });
    auto task = Task("again.bin", 20000, true);
    EXPECT_EQ(DownloadWorker::kRetryLater, worker.Perform(*task));  // rejected: the old file
    EXPECT_TRUE(task->probe);

    ASSERT_TRUE(server.PutFile("again.bin", after));
    ASSERT_TRUE(server.SetFault("again.bin", "kind=cut&after=80000&times=1"));
    EXPECT_EQ(DownloadWorker::kRetryLater, worker.Perform(*task));
    EXPECT_EQ(120000, task->total.load());
    EXPECT_EQ(DownloadWorker::kDone, worker.Perform(*task));
    EXPECT_EQ(after, ReadFileText(task->path));
    EXPECT_EQ(2u, recorder.Done().size());  // no cut copy was offered
    int heads = 0;
    for (const LoggedRequest& r : server.LogFor("/again.bin")) heads += r.method == "HEAD" ? 1 : 0;
    EXPECT_EQ(2, heads);
}

TEST_F(DownloadTransferTest, FirstAttemptStartsAFreshFile) {
    const std::string content = TestPattern(20000, 10);
    ASSERT_TRUE(server.PutFile("fresh.bin", content));
    auto task = Task("fresh.bin");
    std::string old = TestPattern(50000, 11);
    ASSERT_TRUE(WriteFileAtomically(task->path, old.data(), old.size()));

    EXPECT_EQ(DownloadWorker::kDone, worker.Perform(*task));
    EXPECT_EQ(content, ReadFileText(task->path));
    EXPECT_EQ("-", server.LogFor("/fresh.bin").back().range);
}

TEST_F(DownloadTransferTest, LocalFileThatCannotBeOpenedFailsTheTask) {
    ASSERT_TRUE(server.PutFile("x.bin", "x"));
    std::wstring blocker = folder / L"blocker";
    ASSERT_TRUE(WriteFileAtomically(blocker, "b", 1));  // a file where a folder should be
    DownloadTask task(Wide(server.Url("x.bin")), blocker + L"\\x.bin", false, 20000);

    EXPECT_EQ(DownloadWorker::kFailed, worker.Perform(task));
    ASSERT_EQ(1u, recorder.Messages().size());
    EXPECT_EQ(0u, recorder.Messages()[0].find("OpenLocalFile() failed:"));
    EXPECT_TRUE(server.LogFor("/x.bin").empty());
}

TEST_F(DownloadTransferTest, MessagesFromLongUrlsStayInTheBuffer) {
    std::string name(700, 'n');
    ASSERT_TRUE(server.SetFault(name, "kind=status&code=404"));
    DownloadTask task(Wide(server.Url(name)), folder / L"long.bin", false, 20000);
    EXPECT_EQ(DownloadWorker::kFailed, worker.Perform(task));
    ASSERT_EQ(1u, recorder.Messages().size());
    EXPECT_EQ(511u, recorder.Messages()[0].size());
    EXPECT_EQ(0u, recorder.Messages()[0].find("curl_easy_getinfo() retcode = 404; file=http://127.0.0.1:"));
}

}  // namespace
