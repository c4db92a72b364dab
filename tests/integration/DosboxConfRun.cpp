// Runs the real DOSBox on the configuration the setup pass builds: the target folder is mounted
// as C:, the old print file is deleted, the program starts with /ns and DOSBox exits by itself.
// Usage: dosbox_conf_run <kestro.exe image> <work folder> <dosbox program>
#include "runtime/Platform.h"
#include "runtime/headless/SimulatedMachine.h"
#include "setup/Discovery.h"
#include "setup/DosboxConf.h"
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

int Failures = 0;

void Check(bool ok, const std::string& what) {
    std::cout << (ok ? "ok:     " : "FAILED: ") << what << "\n";
    if (!ok)
        ++Failures;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The file in folder whose name matches without regard to case (DOSBox writes upper case).
fs::path FindNoCase(const fs::path& folder, const std::string& name) {
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::string candidate = entry.path().filename().string();
        if (candidate.size() == name.size() &&
            std::equal(candidate.begin(), candidate.end(), name.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            }))
            return entry.path();
    }
    return {};
}

// timeout 60 dosbox -conf FILE -noconsole, headless; returns the exit status (124: timed out).
int RunDosbox(const std::string& dosbox, const fs::path& conf, const fs::path& home,
              const fs::path& log) {
    // Unflushed output would be written twice, once by the child.
    std::cout.flush();
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("HOME", home.c_str(), 1);
        std::FILE* out = std::freopen(log.c_str(), "w", stdout);
        if (out == nullptr || dup2(fileno(stdout), fileno(stderr)) < 0)
            _exit(126);
        execlp("timeout", "timeout", "60", dosbox.c_str(), "-conf", conf.c_str(), "-noconsole",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void RunOnce(const std::string& image, const fs::path& work, const std::string& dosbox,
             const std::string& oldPrintFile) {
    std::cout << "-- old print file named " << oldPrintFile << "\n";
    const fs::path zorn = work / "zorn";
    const fs::path home = work / "home";
    fs::remove_all(work);
    fs::create_directories(zorn);
    fs::create_directories(home);
    fs::copy_file(image, zorn / "kestro.exe");
    std::ofstream(zorn / oldPrintFile, std::ios::binary) << "printed last time\r\n";

    // On Windows TargetDir is c:\zorn\; here DOSBox mounts the Linux folder instead. Everything
    // else is the text the setup pass writes.
    qb::TargetDir = zorn.string() + "/";
    const std::string conf = qb::BuildDosboxConf("c:\\zorn\\kestro.exe");
    std::string windowsConf = qb::BuildDosboxConfFrom(
        *qb::Platform().System->LoadRcData("rs_TesseraConf"), "c:\\zorn\\", "c:\\zorn\\kestro.exe");
    const std::string windowsMount = "mount c c:\\zorn\\\r\n";
    windowsConf.replace(windowsConf.find(windowsMount), windowsMount.size(),
                        "mount c " + qb::TargetDir + "\r\n");
    Check(conf == windowsConf, "configuration differs from the Windows one only in the mount");
    std::ofstream(zorn / "dosbox.conf", std::ios::binary) << conf;

    const auto start = std::chrono::steady_clock::now();
    const int status = RunDosbox(dosbox, zorn / "dosbox.conf", home, work / "dosbox.log");
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "dosbox ran " << seconds << " s, exit status " << status << "\n";

    Check(status == 0, "DOSBox exited by itself with status 0 (124 would be the timeout)");
    Check(FindNoCase(zorn, oldPrintFile).empty(), "the old print file is gone");
    const fs::path args = FindNoCase(zorn, "ARGS.TXT");
    Check(!args.empty(), "the program ran and wrote ARGS.TXT");
    if (!args.empty()) {
        const std::string tail = ReadAll(args);
        std::cout << "command tail: \"" << tail << "\"\n";
        Check(tail == " /ns", "the program was started with /ns");
    }
    if (Failures != 0)
        std::cout << "DOSBox output:\n" << ReadAll(work / "dosbox.log");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: dosbox_conf_run <kestro.exe image> <work folder> <dosbox>\n";
        return 2;
    }
    qb::TSimulatedMachine machine; // supplies the embedded configuration resource
    qb::SetPlatform(machine.AsPlatform(nullptr));
    RunOnce(argv[1], fs::path(argv[2]) / "lower", argv[3], "f");
    // The DOS program prints to f, which DOSBox creates in upper case on this file system.
    RunOnce(argv[1], fs::path(argv[2]) / "upper", argv[3], "F");
    std::cout << (Failures == 0 ? "PASSED" : "FAILED") << "\n";
    return Failures == 0 ? 0 : 1;
}
