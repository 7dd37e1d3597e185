#pragma once

#include <chrono>
#include <cstdio>

// A one-line progress bar on a terminal: files done of total and files per second. Drawn at
// most ten times a second, and only when wanted and the stream is a terminal.
class ProgressBar
{
public:
    ProgressBar(std::FILE *stream, int total, bool wanted = true);
    ~ProgressBar();
    void Update(int done);
    // Clears the bar so that another line can be printed.
    void Clear();

private:
    std::FILE *m_stream;
    bool m_enabled;
    int m_total;
    int m_done = 0;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_lastDrawn;
    void Draw();
};
