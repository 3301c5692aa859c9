// install_bench: the time to install and uninstall a medium of 500 files, 100 MiB in all, and
// the ratio of the installation to `cp -r` followed by `sync` of the same files (the staged
// copy, digests, journal and renames should cost at most twice a plain copy).
// Usage: install_bench [scratch folder]   (default: the system's temporary folder)
#include "sensor-setup/core/installer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 500;
constexpr std::size_t kTotalBytes = 100u * 1024u * 1024u;

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void make_medium(const fs::path &medium) {
    std::mt19937 random(14);
    const char *folders[] = {"Firmware", "Help", "DLL", "Driver", "Sound"};
    std::string block(kTotalBytes / kFiles, '\0');
    for (int i = 0; i < kFiles; ++i) {
        const fs::path folder = medium / folders[i % 5];
        fs::create_directories(folder);
        for (char &c : block) c = static_cast<char>(random());
        std::ofstream(folder / ("file" + std::to_string(i) + ".dat"), std::ios::binary)
            .write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    std::ofstream(medium / "hts10.dat") << "help";
}

} // namespace

int main(int argc, char **argv) {
    const fs::path base = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
    const fs::path scratch = base / "install-bench";
    fs::remove_all(scratch);
    const fs::path medium = scratch / "medium";
    make_medium(medium);
    setenv("HOME", (scratch / "home").c_str(), 1);
    unsetenv("XDG_STATE_HOME");
    std::string error;
    const auto places = sensor_setup::setup_places(sensor_setup::process_environment(), error);
    if (!places) {
        std::fprintf(stderr, "install_bench: %s\n", error.c_str());
        return 1;
    }
    auto fs = sensor_setup::make_posix_file_system();
    sensor_setup::InstallRequest request;
    request.source = medium;
    request.target = scratch / "target";
    request.desktop_launcher = false;
    request.menu_launcher = false;

    std::system("sync");
    auto start = std::chrono::steady_clock::now();
    const auto report = sensor_setup::install(*fs, request, *places);
    const double install = seconds_since(start);
    if (report.outcome != sensor_setup::Outcome::kDone) {
        std::fprintf(stderr, "install_bench: the installation failed\n");
        return 1;
    }
    start = std::chrono::steady_clock::now();
    sensor_setup::uninstall(*fs, request.target, *places);
    const double uninstall = seconds_since(start);

    std::system("sync");
    const std::string copy =
        "cp -r '" + medium.string() + "' '" + (scratch / "copy").string() + "' && sync";
    start = std::chrono::steady_clock::now();
    if (std::system(copy.c_str()) != 0) return 1;
    const double plain = seconds_since(start);

    std::printf("medium: %d files, %zu MiB\n", kFiles, kTotalBytes / (1024 * 1024));
    std::printf("install:        %.3f s\n", install);
    std::printf("uninstall:      %.3f s\n", uninstall);
    std::printf("cp -r + sync:   %.3f s\n", plain);
    std::printf("install / copy: %.2f (target at most 2)\n", install / plain);
    fs::remove_all(scratch);
    return 0;
}
