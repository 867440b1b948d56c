//===- server_exports_test.cpp - Server registration and notices to the clients ---===//
#include "tests/link/LinkFixture.h"

#include <csignal>
#include <numeric>
#include <sched.h>
#include <fstream>
#include <sstream>

class ServerExports : public LinkFixture {
protected:
    void SetUp() override
    {
        LinkFixture::SetUp();
        server = startPeer();
        serverWindow = server->call1("window");
        ASSERT_EQ(server->call1("server 2C6A91E4 " + serverWindow), "0");
        appMessage = server->call1("msgnum");
    }

    /// A client peer with one registered window.
    struct Client {
        std::unique_ptr<testsupport::ChildProcess> peer;
        std::string window;
    };
    Client addClient(bool Adl = false)
    {
        Client c { startPeer(), "" };
        c.window = c.peer->call1("window");
        EXPECT_EQ(c.peer->call1((Adl ? "registeradl " : "register ") + c.window), "0");
        return c;
    }

    std::string notice(const Client& C, const std::string& WParam, const std::string& LParam) const
    {
        return "msg " + C.window + " " + appMessage + " " + WParam + " " + LParam;
    }

    std::unique_ptr<testsupport::ChildProcess> server;
    std::string serverWindow, appMessage;
};

TEST_F(ServerExports, WrongKeyRegistersNothing)
{
    auto other = startPeer();
    std::string w = other->call1("window");
    EXPECT_EQ(other->call1("server 12345678 " + w), "0");
    EXPECT_EQ(block().serverWindow, std::stoul(serverWindow));
    EXPECT_EQ(other->call1("server 2C6A91E4 " + w), "0");
    EXPECT_EQ(block().serverWindow, std::stoul(w));
}

TEST_F(ServerExports, NotifyPostsEventParameterAndWParamToEveryClient)
{
    Client a = addClient(), b = addClient();
    // ex_notify, event 'B', parameter 1, high half 0, wParam 7.
    ASSERT_EQ(server->call1("notice 3 66 1 0 7 0"), "0");
    EXPECT_EQ(a.peer->call("wait 1 50000"), (std::vector<std::string> { notice(a, "7", "322") }));
    EXPECT_EQ(b.peer->call("wait 1 50000"), (std::vector<std::string> { notice(b, "7", "322") }));
}

TEST_F(ServerExports, StatusIsCopiedInAndReachesTheClientsCopy)
{
    Client a = addClient();
    ASSERT_EQ(server->call1("notice 1 51 0 0 0 2"), "0");
    EXPECT_EQ(a.peer->call("wait 1 50000"), (std::vector<std::string> { notice(a, "0", std::to_string(0x20033)) }));
    std::string status = a.peer->call1("status");
    EXPECT_NE(status.find("ready=1 "), std::string::npos) << status;
    EXPECT_NE(status.find("energy=12.5 "), std::string::npos) << status;
    EXPECT_NE(status.find("level=89 "), std::string::npos) << status;
}

TEST_F(ServerExports, StatusForOneWindowReachesOnlyThatWindow)
{
    Client a = addClient(), b = addClient();
    ASSERT_EQ(server->call1("notice 4 82 0 " + b.window + " 0 0"), "0");
    EXPECT_EQ(b.peer->call("wait 1 50000"), (std::vector<std::string> { notice(b, "0", "82") }));
    EXPECT_EQ(receivedBeforeAMark(*a.peer, *server, a.window), std::vector<std::string> {});

    // A target that is not registered still takes the status but posts nothing.
    ASSERT_EQ(server->call1("notice 4 82 0 999999 0 0 1 7"), "0");
    EXPECT_EQ(block().status.serverBacklog, 7);
    EXPECT_EQ(receivedBeforeAMark(*a.peer, *server, a.window), std::vector<std::string> {});
    EXPECT_EQ(receivedBeforeAMark(*b.peer, *server, b.window), std::vector<std::string> {});
}

TEST_F(ServerExports, AdlNoticesReachOnlyAdlClients)
{
    Client plain = addClient(), adl = addClient(true);
    ASSERT_EQ(server->call1("notice 12 82 0 0 0 0"), "0");
    ASSERT_EQ(server->call1("notice 11 82 1 0 0 0"), "0");
    EXPECT_EQ(adl.peer->call("wait 2 50000"),
              (std::vector<std::string> { notice(adl, "0", "82"), notice(adl, "0", "338") }));
    EXPECT_EQ(receivedBeforeAMark(*plain.peer, *server, plain.window), std::vector<std::string> {});
}

TEST_F(ServerExports, UnknownTypeAnswersMinusOneAndStillWakesTheServer)
{
    ASSERT_EQ(server->call1("notice 1 48 0 0 0 0"), "0");
    Client a = addClient();
    ASSERT_EQ(a.peer->call1("put " + a.window + " 1 1012 0"), "0");
    server->call("wait 1 50000");
    EXPECT_EQ(server->call1("notice 5 48 0 0 0 0"), "-1");
    std::vector<std::string> woken = server->call("wait 1 50000");
    ASSERT_EQ(woken.size(), 1u) << "commands pending and the server ready: it is woken again";
    EXPECT_EQ(woken[0], "msg " + serverWindow + " " + server->call1("servermsg") + " 8192 0");
}

TEST_F(ServerExports, NullNoticeOrMissingBufferIsRefused)
{
    EXPECT_EQ(server->call1("noticenull 1"), "-1 -1");
    EXPECT_EQ(server->call1("noticenull 9"), "-1 -1");
    EXPECT_EQ(block().status.serverReady, 0) << "nothing was copied";
}

TEST_F(ServerExports, ClosingClearsReadinessAndTellsTheClients)
{
    Client a = addClient();
    ASSERT_EQ(server->call1("notice 1 48 0 0 0 0 1 0 2"), "0");
    a.peer->call("wait 1 50000");
    ASSERT_EQ(a.peer->call1("put " + a.window + " 1 1012 0"), "0");

    ASSERT_EQ(server->call1("notice 7 112 0 0 0 0 1 0 2"), "0");
    EXPECT_EQ(a.peer->call("wait 1 50000"), (std::vector<std::string> { notice(a, "0", "112") }));
    LinkSharedBlock& blk = block();
    EXPECT_EQ(blk.serverWindow, 0u);
    EXPECT_EQ(blk.status.serverReady, 0);
    for (uint16_t c : blk.status.countdowns)
        EXPECT_EQ(c, 1) << "each countdown above 0 is lowered by one";
    EXPECT_EQ(a.peer->call1("put " + a.window + " 2 1012 0"), "256");

    ASSERT_EQ(server->call1("notice 7 112 0 0 0 0 1 0 0"), "0");
    for (uint16_t c : blk.status.countdowns)
        EXPECT_EQ(c, 0) << "countdowns at 0 stay there";
}

TEST_F(ServerExports, KilledClientDoesNotDisturbTheOthers)
{
    Client a = addClient(), doomed = addClient(), b = addClient();
    doomed.peer->kill(SIGKILL);
    doomed.peer->wait();
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(server->call1("notice 3 " + std::to_string(48 + i) + " 0 0 0 0"), "0");
    std::vector<std::string> expectA, expectB;
    for (int i = 0; i < 3; ++i) {
        expectA.push_back(notice(a, "0", std::to_string(48 + i)));
        expectB.push_back(notice(b, "0", std::to_string(48 + i)));
    }
    EXPECT_EQ(a.peer->call("wait 3 50000"), expectA);
    EXPECT_EQ(b.peer->call("wait 3 50000"), expectB);
    EXPECT_EQ(block().info.clientCount, 3) << "the dead client's slot stays until released";
}

namespace {

/// The (wParam, status sequence) pairs of a "seen" answer.
std::vector<std::pair<unsigned, unsigned>> seenPairs(const std::vector<std::string>& Lines)
{
    std::vector<std::pair<unsigned, unsigned>> pairs;
    for (const std::string& line : Lines) {
        std::istringstream in(line);
        std::string word;
        unsigned notice = 0, status = 0;
        in >> word >> notice >> status;
        EXPECT_EQ(word, "seen") << line;
        pairs.push_back({ notice, status });
    }
    return pairs;
}

/// True once the process is stopped by a signal (state T in /proc).
bool stopped(pid_t Pid)
{
    std::ifstream stat("/proc/" + std::to_string(Pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    const size_t end = text.rfind(')');
    return end != std::string::npos && end + 2 < text.size() && text[end + 2] == 'T';
}

} // namespace

// Each handler reads the status through getstatuspointer, as the programs do: the copy it gets
// is never older than the notice, and the notices of one server come in the order sent, to a
// lone client and to ten of which one is stopped while the server posts (its notices wait in the
// server until it runs again, and none is lost).
TEST_F(ServerExports, HandlersReadTheAnnouncedStatusAndNoticesKeepTheirOrder)
{
    constexpr unsigned Notices = 100;
    struct Row {
        const char* Case;
        int Clients, Stalled;
    } Rows[] = { { "one client", 1, -1 }, { "ten clients, one stopped", 10, 3 } };
    for (const Row& R : Rows) {
        std::vector<Client> clients;
        for (int i = 0; i < R.Clients; ++i) {
            Client c { startPeer(), "" };
            c.window = c.peer->call1("statuswindow");
            ASSERT_EQ(c.peer->call1("register " + c.window), "0") << R.Case;
            clients.push_back(std::move(c));
        }
        for (int i = 0; i < R.Clients; ++i) {
            if (i == R.Stalled) {
                clients[i].peer->kill(SIGSTOP);
                while (!stopped(clients[i].peer->pid()))
                    sched_yield();
            } else {
                clients[i].peer->send("seen " + std::to_string(Notices) + " 50000");
            }
        }
        ASSERT_EQ(server->call1("statusburst " + std::to_string(Notices)), "0") << R.Case;
        // Every client, the stopped one once it runs again, sees every notice once, in order.
        std::vector<unsigned> sent(Notices);
        std::iota(sent.begin(), sent.end(), 1u);
        for (int i = 0; i < R.Clients; ++i) {
            std::vector<std::string> lines;
            if (i == R.Stalled) {
                clients[i].peer->kill(SIGCONT);
                lines = clients[i].peer->call("seen " + std::to_string(Notices) + " 50000");
            } else {
                lines = clients[i].peer->answer();
            }
            std::vector<unsigned> order;
            for (const auto& [notice, status] : seenPairs(lines)) {
                order.push_back(notice);
                EXPECT_GE(status, notice) << R.Case << ", client " << i;
            }
            EXPECT_EQ(order, sent) << R.Case << ", client " << i;
        }
        for (Client& c : clients)
            ASSERT_EQ(c.peer->call1("release " + c.window), "0") << R.Case;
    }
}
