// A conversion from the main window against the same conversion without a
// window, on the 32,000-point file: the window's progress must not cost more
// than a quarter on top.  Runs offscreen; prints medians and the ratio.

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "bench/exchange_generator.h"
#include "conversion/ClsParse.h"
#include "conversion/ParseObject.h"
#include "main/FrmKeerpunten.h"
#include "shared/component_loader.h"
#include "shared/platform/port.h"

namespace {

namespace fs = std::filesystem;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <typename Run>
double elapsed_ms(Run&& run) {
    QElapsedTimer clock;
    clock.start();
    run();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    fs::path folder =
        fs::temp_directory_path() / ("tolvane-window-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    std::string exchange = (folder / "taak.ste").string();
    std::string text = (folder / "uit.txt").string();
    std::ofstream(exchange, std::ios::binary) << tlv::bench::generate_exchange(32000);
    std::ofstream(folder / "tolvane.kvr", std::ios::binary)
        << "StrePlaFile=" << exchange << "\r\nGartripFile=" << text
        << "\r\nStartGartrip=2\r\nAutoCheckStrepla=2\r\nCheckForGARtrip=1\r\n";

    tlv::port::Application program{folder.string(), "tolvane", {}};
    tlv::port::install({.application = &program});
    tlv::install_parse_factory(
        [] { return tlv::ParseComponent(nullptr, tlv::component::new_parse_object()); });

    const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
    auto window = tlv::FrmKeerpunten::Starten();
    // Alternated, so that both see the same state of caches and allocator.
    std::vector<double> silent_times, window_times;
    for (int i = 0; i < runs; ++i) {
        silent_times.push_back(elapsed_ms([&] { tlv::ClsParse().Parsen(exchange, text); }));
        window_times.push_back(elapsed_ms([&] { window->Converteren(); }));
    }
    window.reset();
    double silent = median(silent_times), windowed = median(window_times);
    std::printf(
        "32000 points: without window %.1f ms, from the window %.1f ms (median of %d), "
        "ratio %.2f\n",
        silent, windowed, runs, windowed / silent);
    fs::remove_all(folder);
    return 0;
}
