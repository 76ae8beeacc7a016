// watchsim: virtual watches for programs that talk to hidraw nodes.
#include <signal.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Linux_HidrawFileSystem.h"
#include "ReportTraceFile.h"
#include "ServeOptions.h"
#include "VirtualWatch.h"

namespace {

int Serve(const watchsim::ServeOptions& options) {
    // The signals that end the run are taken by sigwait below, never by a handler, so no
    // thread is interrupted half-way and the mount is always taken down.
    sigset_t ending;
    sigemptyset(&ending);
    sigaddset(&ending, SIGINT);
    sigaddset(&ending, SIGTERM);
    sigaddset(&ending, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &ending, nullptr);
    signal(SIGPIPE, SIG_IGN);

    std::unique_ptr<watchsim::ReportTraceFile> trace;
    if (!options.traceFile.empty()) {
        trace = std::make_unique<watchsim::ReportTraceFile>(options.traceFile);
    }
    auto clock = std::make_shared<watchsim::SteadyClock>();
    std::vector<std::unique_ptr<watchsim::VirtualWatch>> watches;
    std::vector<watchsim::VirtualWatch*> served;
    for (std::size_t i = 0; i < options.count; ++i) {
        watchsim::WatchConfig config = options.watch;
        config.stateDirectory = watchsim::StateDirectoryFor(options, i);
        watches.push_back(std::make_unique<watchsim::VirtualWatch>(config, clock));
        if (trace) {
            watches.back()->SetTrace(trace->Sink());
        }
        if (const std::string error = watches.back()->StateError(); !error.empty()) {
            std::fprintf(stderr, "watchsim: state of hidraw%zu: %s\n", i, error.c_str());
        }
        served.push_back(watches.back().get());
    }

    int signal = 0;
    {
        watchsim::Linux_HidrawFileSystem files(options.directory, served);
        for (std::size_t i = 0; i < served.size(); ++i) {
            std::printf("%s\n", files.NodePath(i).c_str());
        }
        std::fflush(stdout);
        sigwait(&ending, &signal);
        files.Stop();
    }
    for (auto& watch : watches) {
        watch->SetTrace({});
        watch->SaveState();
        if (const std::string error = watch->StateError(); !error.empty()) {
            std::fprintf(stderr, "watchsim: state: %s\n", error.c_str());
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const auto options =
            watchsim::ParseServeOptions(std::vector<std::string>(argv + 1, argv + argc));
        if (options.help) {
            std::fputs(watchsim::ServeUsage(), stdout);
            return 0;
        }
        return Serve(options);
    } catch (const watchsim::UsageError& error) {
        std::fprintf(stderr, "watchsim: %s\n%s", error.what(), watchsim::ServeUsage());
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "watchsim: %s\n", error.what());
        return 1;
    }
}
