// Two stores shared between processes: concurrent writers lose nothing and a
// reader never sees a torn file; a writer killed at a random moment leaves the
// old or the new content, never a mix.
#include "core/settings/atomicfile.h"
#include "core/settings/profilefile.h"
#include "core/settings/registryfile.h"
#include "core/settings/settingsstore.h"
#include "testfiles.h"
#include "writerprotocol.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <csignal>
#include <random>
#include <thread>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace umbrill {
namespace {

using namespace umbrill::testing;

const std::string kSettingsKey = "HKEY_CURRENT_USER\\umbrill.ini\\Settings";

enum class Store { Settings, Data };

const char *nameOf(Store store) { return store == Store::Settings ? "settings" : "data"; }

// A running store writer; its standard output, when asked for, comes back through a pipe.
struct Child {
    pid_t pid = -1;
    int output = -1;
};

Child spawnWriter(Store store, const char *mode, const fs::path &file, const std::string &key, std::size_t number,
                  bool pipeOutput)
{
    std::vector<std::string> args = {UMBRILL_STORE_WRITER, nameOf(store), mode, file.string(), key,
                                     std::to_string(number)};
    std::vector<char *> argv;
    for (std::string &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    int fds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (pipeOutput) {
        if (::pipe(fds) != 0)
            throw std::runtime_error("pipe failed");
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addclose(&actions, fds[1]);
    }
    Child child;
    const int rc = ::posix_spawn(&child.pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (pipeOutput) {
        ::close(fds[1]);
        child.output = fds[0];
    }
    if (rc != 0)
        throw std::runtime_error("posix_spawn failed");
    return child;
}

int waitFor(Child &child)
{
    int status = 0;
    while (::waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (child.output >= 0)
        ::close(child.output);
    child = Child{};
    return status;
}

// Looks values up in one parse of a store's bytes.
class StoreView {
public:
    StoreView(Store store, std::string bytes)
        : m_store(store),
          m_registry(RegistryFile::fromBytes(store == Store::Settings ? bytes : std::string())),
          m_profile(ProfileFile::fromBytes(store == Store::Data ? bytes : std::string()))
    {
    }

    std::optional<std::string> value(const std::string &key) const
    {
        if (m_store == Store::Settings)
            return m_registry.stringValue(kSettingsKey, key);
        const std::string absent = "\x01";
        std::string text = m_profile.value("Umbrill", key, absent);
        return text == absent ? std::nullopt : std::optional<std::string>(text);
    }

private:
    Store m_store;
    RegistryFile m_registry;
    ProfileFile m_profile;
};

// How many of PREFIX0, PREFIX1, ... the file holds, checking that they are the
// first ones written, each with its own value: one writer writes them in
// order, so any gap is a lost write.
std::size_t writtenSoFar(const StoreView &view, const std::string &prefix, std::size_t total)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < total; ++i) {
        const auto value = view.value(prefix + std::to_string(i));
        if (!value)
            break;
        EXPECT_EQ(*value, prefix + "-" + std::to_string(i));
        ++count;
    }
    for (std::size_t i = count; i < total; ++i)
        EXPECT_FALSE(view.value(prefix + std::to_string(i))) << prefix << i << " written after a gap";
    return count;
}

// The short form runs in every test run; UMBRILL_STRESS=1 (tools/stress.sh) runs
// the long form: a thousand writes by each writer and two hundred kills.
bool longForm()
{
    const char *stress = std::getenv("UMBRILL_STRESS");
    return stress && std::string_view(stress) == "1";
}

TEST(StoreConcurrency, TwoWritersLoseNothingAndReadersNeverSeeATornFile)
{
    const std::size_t writes = longForm() ? 1000 : 120;
    for (Store store : {Store::Settings, Store::Data}) {
        SCOPED_TRACE(nameOf(store));
        TempDir dir;
        const fs::path file = dir / (store == Store::Settings ? "user.reg" : "Umbrill05.ini");
        if (store == Store::Data)
            writeBytes(file, "; shared data file\r\n[Umbrill]\r\nLanguages=French\r\n");

        Child writers[] = {spawnWriter(store, "distinct", file, "A", writes, false),
                           spawnWriter(store, "distinct", file, "B", writes, false)};
        std::size_t seenA = 0;
        std::size_t seenB = 0;
        int reads = 0;
        int statuses[2] = {0, 0};
        int running = 2;
        while (running > 0) {
            for (int i = 0; i < 2; ++i) {
                int status = 0;
                if (writers[i].pid > 0 && ::waitpid(writers[i].pid, &status, WNOHANG) == writers[i].pid) {
                    writers[i] = Child{};
                    statuses[i] = status;
                    --running;
                }
            }
            // A plain read, without the lock: the rename alone must keep it whole.
            const FileContents contents = readWholeFile(file);
            if (contents.status == FileContents::Status::Read && !contents.bytes.empty()) {
                EXPECT_EQ(contents.bytes.back(), '\n');
                const StoreView view(store, contents.bytes);
                const std::size_t a = writtenSoFar(view, "A", writes);
                const std::size_t b = writtenSoFar(view, "B", writes);
                EXPECT_GE(a, seenA);
                EXPECT_GE(b, seenB);
                seenA = a;
                seenB = b;
            }
            // And a read through the store, under the shared lock.
            const std::string first = store == Store::Settings ? readSettingFrom(file, "Settings", "A0", "none")
                                                               : readProfileString(file, "Umbrill", "A0", "none");
            EXPECT_TRUE(first == "none" || first == "A-0") << first;
            ++reads;
            if (::testing::Test::HasFailure())
                break;
        }
        for (Child &writer : writers) {
            if (writer.pid > 0) {
                ::kill(writer.pid, SIGKILL);
                waitFor(writer);
            }
        }
        for (int status : statuses) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "writer status " << status;
        }
        const std::string bytes = readBytes(file);
        const StoreView view(store, bytes);
        EXPECT_EQ(writtenSoFar(view, "A", writes), writes);
        EXPECT_EQ(writtenSoFar(view, "B", writes), writes);
        if (store == Store::Data) {
            EXPECT_EQ(bytes.rfind("; shared data file\r\n[Umbrill]\r\nLanguages=French\r\n", 0), 0u);
        }
        RecordProperty(std::string(nameOf(store)) + "_reads", reads);
    }
}

// The whole file as it must be with Entry holding text.
std::string expectedFile(Store store, const std::string &text)
{
    if (store == Store::Settings)
        return "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\umbrill.ini]\n\n"
               "[HKEY_CURRENT_USER\\umbrill.ini\\Settings]\n\"Other\"=\"kept\"\n\"Entry\"=\"" + text + "\"\n"
               "; a comment after the values\n";
    return "; data file\r\n\r\n[Umbrill]\r\nLanguages=French\r\nEntry=" + text + "\r\n; comment\r\n[Other]\r\nx=1";
}

TEST(StoreConcurrency, WriterKilledAtAnyMomentLeavesOldOrNewContent)
{
    constexpr unsigned kSeed = 20240607;
    const int kills = longForm() ? 200 : 12;
    std::mt19937 random(kSeed);
    SCOPED_TRACE("seed " + std::to_string(kSeed));
    for (Store store : {Store::Settings, Store::Data}) {
        SCOPED_TRACE(nameOf(store));
        TempDir dir;
        const fs::path file = dir / (store == Store::Settings ? "user.reg" : "Umbrill05.ini");
        writeBytes(file, expectedFile(store, versionText(0)));

        std::size_t next = 1;
        int caughtInFlight = 0;
        for (int kill = 0; kill < kills; ++kill) {
            SCOPED_TRACE("kill " + std::to_string(kill));
            Child writer = spawnWriter(store, "loop", file, "Entry", next, true);
            char ready = 0;
            const ssize_t got = ::read(writer.output, &ready, 1);
            // A tiny random delay, so that the kill lands anywhere in a write.
            std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 8000)(random)));
            ::kill(writer.pid, SIGKILL);
            const int status = waitFor(writer);
            ASSERT_EQ(got, 1) << "the writer did not start, status " << status;
            ASSERT_TRUE(WIFSIGNALED(status));

            const std::string bytes = readBytes(file);
            const auto text = StoreView(store, bytes).value("Entry");
            ASSERT_TRUE(text);
            const auto version = versionOf(*text);
            ASSERT_TRUE(version) << "torn value of " << text->size() << " bytes";
            EXPECT_GE(*version, next);
            EXPECT_EQ(bytes, expectedFile(store, *text));
            next = *version + 1;
            for (const auto &entry : fs::directory_iterator(dir.path()))
                caughtInFlight += entry.path().filename().string().find(".tmp.") != std::string::npos;
        }
        // The next write goes through and clears what the dead writers left.
        if (store == Store::Settings)
            writeSettingTo(file, "Settings", "Entry", versionText(next));
        else
            writeProfileString(file, "Umbrill", "Entry", versionText(next));
        EXPECT_EQ(readBytes(file), expectedFile(store, versionText(next)));
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(dir.path()))
            names.push_back(entry.path().filename().string());
        EXPECT_EQ(names.size(), 1u) << "only the file remains";
        RecordProperty(std::string(nameOf(store)) + "_kills_during_a_write", caughtInFlight);
    }
}

} // namespace
} // namespace umbrill
