#include "progress_bar.h"

#include <unistd.h>

ProgressBar::ProgressBar(std::FILE *stream, int total, bool wanted)
    : m_stream(stream)
    , m_enabled(wanted && isatty(fileno(stream)) != 0)
    , m_total(total)
    , m_start(std::chrono::steady_clock::now())
{ }

ProgressBar::~ProgressBar()
{
    Clear();
}

void ProgressBar::Update(int done)
{
    m_done = done;
    if (!m_enabled)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (m_shown && done < m_total && now - m_lastDrawn < std::chrono::milliseconds(100))
        return;
    m_lastDrawn = now;
    Draw();
}

void ProgressBar::Draw()
{
    constexpr int kCells = 30;
    const int filled = m_total > 0 ? int(std::int64_t(m_done) * kCells / m_total) : kCells;
    char cells[kCells + 1];
    for (int i = 0; i < kCells; ++i)
        cells[i] = i < filled ? '#' : '-';
    cells[kCells] = '\0';
    const double seconds
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    std::fprintf(m_stream, "\r[%s] %d/%d  %.1f files/s\x1b[K", cells, m_done, m_total,
                 seconds > 0 ? m_done / seconds : 0.0);
    std::fflush(m_stream);
    m_shown = true;
}

void ProgressBar::Clear()
{
    if (m_shown) {
        std::fputs("\r\x1b[K", m_stream);
        std::fflush(m_stream);
        m_shown = false;
    }
}
