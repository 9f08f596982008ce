#include "preview/PlacementProgress.h"

#include <unistd.h>

#include <cstdio>

namespace {

constexpr auto kQuietFor = std::chrono::seconds(2);
constexpr auto kEvery = std::chrono::milliseconds(500);

}  // namespace

PlacementProgress::PlacementProgress(const ReferenceMotion& reference, std::string what)
    : m_reference(reference),
      m_what(std::move(what)),
      m_shown(isatty(STDERR_FILENO) == 1),
      m_start(std::chrono::steady_clock::now()),
      m_nextShow(m_start + kQuietFor) {}

PlacementProgress::~PlacementProgress() {
    if (m_lineShown) std::fputs("\r\033[K", stderr);
}

void PlacementProgress::Show(double t) const {
    const double duration = m_reference.Duration();
    // The placement sweeps the reference more than once: a time far behind starts a new sweep.
    if (t < m_reached - 0.25 * duration) {
        ++m_pass;
        m_reached = t;
    } else if (t > m_reached) {
        m_reached = t;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now < m_nextShow) return;
    m_nextShow = now + kEvery;
    const long seconds =
        static_cast<long>(std::chrono::duration_cast<std::chrono::seconds>(now - m_start).count());
    std::fprintf(stderr,
                 "\r\033[Ktravex-host: %s: placing points, pass %d at %.0f %% of the way, %ld s",
                 m_what.c_str(), m_pass, duration > 0 ? 100 * m_reached / duration : 0.0, seconds);
    std::fflush(stderr);
    m_lineShown = true;
}
