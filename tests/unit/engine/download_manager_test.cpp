// The download pool end to end through libcurl and the local test server.
#include "tests/unit/engine/download_test_support.h"

namespace {

class DownloadManagerTest : public DownloadTest {
protected:
    std::string UrlText(const std::string& name) { return server.Url(name); }
};

TEST_F(DownloadManagerTest, BatchArrivesWholeThroughSeveralWorkers) {
    recorder.Attach(manager);
    const size_t sizes[] = {0, 1, 100, 16384, 16385, 65536, 200000, 1000000};
    std::vector<std::string> contents;
    unsigned long long expected = 0;
    for (int i = 0; i < 40; ++i) {
        size_t size = sizes[i % 8] + static_cast<size_t>(i);
        contents.push_back(TestPattern(size, 100 + i));
        expected += size;
        std::string name = "batch/f" + std::to_string(i) + ".bin";
        ASSERT_TRUE(server.PutFile(name, contents.back()));
    }
    manager.StartWorkers(4);
    for (int i = 0; i < 40; ++i) {
        std::string name = "batch/f" + std::to_string(i) + ".bin";
        manager.Enqueue(Wide(server.Url(name)), folder / (L"out\\f" + std::to_wstring(i) + L".bin"), i % 3 == 0,
                        20000);
    }
    manager.Dispatch();
    ASSERT_TRUE(WaitFor([&] {
        manager.Dispatch();
        return manager.IsIdle();
    }));

    EXPECT_TRUE(recorder.Failed().empty());
    EXPECT_EQ(40u, recorder.Done().size());
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(contents[i], ReadFileText(folder / (L"out\\f" + std::to_wstring(i) + L".bin"))) << "file " << i;
    EXPECT_EQ(expected, manager.TotalReceived());
    EXPECT_EQ(0u, manager.PendingCount());
}

TEST_F(DownloadManagerTest, NotFoundFailsAtOnce) {
    recorder.Attach(manager);
    manager.StartWorkers(2);
    std::wstring path = folder / L"missing.bin";
    manager.Enqueue(Wide(server.Url("missing.bin")), path, false, 20000);
    ASSERT_TRUE(WaitFor([&] { return manager.IsIdle(); }));

    ASSERT_EQ(1u, recorder.Failed().size());
    EXPECT_EQ(path, recorder.Failed()[0]);
    EXPECT_TRUE(recorder.Done().empty());
    std::string url = UrlText("missing.bin");
    std::vector<std::string> expected = {"curl_easy_getinfo() retcode = 404; file=" + url + "\n",
                                         "PostFailure() file=" + url + "\n"};
    EXPECT_EQ(expected, recorder.Messages());
    EXPECT_EQ(std::vector<std::string>{"HTTP 404: " + url}, recorder.Reasons());
    EXPECT_EQ(1u, server.LogFor("/missing.bin").size());
}

TEST_F(DownloadManagerTest, FileRejectedTenTimesFails) {
    int asked = 0;
    recorder.Attach(manager, [&asked](const std::wstring&) {
        ++asked;
        return false;  // e.g. a wrong digest every time
    });
    const std::string content = TestPattern(3000, 30);
    ASSERT_TRUE(server.PutFile("bad.pkg", content));
    manager.StartWorkers(1);
    std::wstring path = folder / L"bad.pkg";
    manager.Enqueue(Wide(server.Url("bad.pkg")), path, false, 20000);
    ASSERT_TRUE(WaitFor([&] { return recorder.Failed().size() == 1 && manager.IsIdle(); }));

    EXPECT_EQ(10, asked);
    std::string url = UrlText("bad.pkg");
    std::vector<std::string> expected(10, "PostFinish() retcode = 200; file=" + url + "\n");
    expected.push_back("PostFailure() file=" + url + "\n");
    EXPECT_EQ(expected, recorder.Messages());
    EXPECT_EQ(std::vector<std::string>{"the file was rejected 10 times: " + url}, recorder.Reasons());
    std::vector<LoggedRequest> log = server.LogFor("/bad.pkg");
    ASSERT_EQ(10u, log.size());
    for (const LoggedRequest& r : log) EXPECT_EQ("-", r.range);  // each one a fresh file
}

TEST_F(DownloadManagerTest, ServerErrorsAreRetriedUntilTheFileComes) {
    recorder.Attach(manager);
    const std::string content = TestPattern(10000, 31);
    ASSERT_TRUE(server.PutFile("flaky.bin", content));
    ASSERT_TRUE(server.SetFault("flaky.bin", "kind=status&code=500&times=3"));
    manager.StartWorkers(1);
    std::wstring path = folder / L"flaky.bin";
    manager.Enqueue(Wide(server.Url("flaky.bin")), path, false, 20000);
    ASSERT_TRUE(WaitFor([&] { return recorder.Finished() == 1 && manager.IsIdle(); }));

    EXPECT_EQ(1u, recorder.Done().size());
    EXPECT_EQ(content, ReadFileText(path));
    EXPECT_EQ(4u, server.LogFor("/flaky.bin").size());
}

TEST_F(DownloadManagerTest, StopEndsRunningTransfersAndDropsEveryTask) {
    recorder.Attach(manager);
    for (int i = 0; i < 12; ++i) {
        std::string name = "slow" + std::to_string(i) + ".bin";
        ASSERT_TRUE(server.PutFile(name, TestPattern(400000, 40 + i)));
        // Slow, or silent after a first piece: no transfer ends by itself soon.
        ASSERT_TRUE(server.SetFault(name, i % 2 ? "kind=trickle&chunk=2000&delay=250" : "kind=stall&after=5000&secs=60"));
    }
    manager.StartWorkers(4);
    for (int i = 0; i < 12; ++i)
        manager.Enqueue(Wide(server.Url("slow" + std::to_string(i) + ".bin")),
                        folder / (L"slow" + std::to_wstring(i) + L".bin"), true, 600000);
    manager.Dispatch();
    double done = 0, total = 0;
    ASSERT_TRUE(WaitFor([&] {
        done = total = 0;
        manager.GetProgress(done, total);
        // Four tasks in transfer, each probed, each with data.
        return total == 4 * 400000.0 && done >= 4 * 2000.0;
    }));

    manager.Stop();

    EXPECT_TRUE(manager.IsIdle());
    EXPECT_EQ(0u, manager.PendingCount());
    done = total = 0;
    manager.GetProgress(done, total);
    EXPECT_EQ(0.0, done);
    EXPECT_EQ(0u, recorder.Finished());
    // Nothing runs on after Stop: the files stay as they were left.
    std::string before = ReadFileText(folder / L"slow1.bin");
    Sleep(600);
    EXPECT_EQ(before, ReadFileText(folder / L"slow1.bin"));
    EXPECT_EQ(0u, recorder.Finished());
}

TEST_F(DownloadManagerTest, AccessorNamesTheLiveManager) {
    EXPECT_EQ(&manager, EngineDownloadManager());
    {
        DownloadManager inner;
        EXPECT_EQ(&inner, EngineDownloadManager());
    }
    EXPECT_EQ(nullptr, EngineDownloadManager());
}

}  // namespace
