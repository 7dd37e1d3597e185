#include "stream_road.h"

#include "image/dib_file.h"
#include "image/file_read.h"
#include "overlay/compose_text.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>

namespace {

// Rows go out through a buffer of about this size.
constexpr std::size_t kChunkBytes = std::size_t(1) << 20;
// The display's own format, as the step-by-step road draws in.
constexpr int kBitsPerPixel = 32;

// A buffer each thread keeps for its next file: fresh pages cost a fault each, and pages given
// back cost every core running the program a flush of its address tables.
class ThreadBuffer
{
public:
    // At least bytes bytes, or null when there is no memory for them.
    std::uint8_t *Get(std::size_t bytes)
    {
        if (m_size < bytes) {
            m_bytes.reset(new (std::nothrow) std::uint8_t[bytes]);
            m_size = m_bytes ? bytes : 0;
        }
        return m_bytes.get();
    }

private:
    std::unique_ptr<std::uint8_t[]> m_bytes;
    std::size_t m_size = 0;
};

thread_local ThreadBuffer t_storedRows, t_writtenRows;

// The picture's rows from the file, bottom row first: the written file's order.
class BottomUpRows
{
public:
    // Whether a picture's rows come out in that order without holding it: uncompressed rows
    // in any order; run-length encoded ones only in stored order, so only bottom-up.
    static bool Stream(const DibHeader &header) { return !header.IsRunLength() || !header.topDown; }

    explicit BottomUpRows(const DibFile &file)
        : m_file(file)
    {
        const DibHeader &h = file.Header();
        if (h.IsRunLength()) {
            m_rle.emplace(file.RunLengthRows());
            return;
        }
        m_span = std::min<std::size_t>(std::size_t(h.height),
                                       std::max<std::size_t>(1, kChunkBytes / h.rowStride));
        m_stored = t_storedRows.Get(m_span * h.rowStride);
    }

    // False when there was no memory for the rows read at once.
    bool Ready() const { return m_rle || m_stored; }

    // Picture row y, for y from the bottom row up, one after the other; false when the file
    // could not be read there (errno says why).
    bool Next(int y, std::uint8_t *out)
    {
        auto *pixels = reinterpret_cast<std::uint32_t *>(out);
        if (m_rle)
            return m_rle->Next(pixels);
        const DibHeader &h = m_file.Header();
        // Bottom-up files store the bottom row first, so their rows are read front to back;
        // top-down files back to front.
        const std::size_t stored = std::size_t(h.topDown ? y : h.height - 1 - y);
        if (stored < m_first || stored >= m_first + m_count) {
            m_first = h.topDown ? stored + 1 - std::min(m_span, stored + 1) : stored;
            m_count = std::min(m_span, std::size_t(h.height) - m_first);
            if (!m_file.ReadPixels(m_first * h.rowStride, m_count * h.rowStride, m_stored)) {
                m_count = 0;
                return false;
            }
        }
        DecodeDibRow(h, m_stored + (stored - m_first) * h.rowStride, h.width, m_file.Colors(),
                     pixels);
        return true;
    }

private:
    const DibFile &m_file;
    std::optional<DibRleRows> m_rle;
    std::uint8_t *m_stored = nullptr; // stored rows [m_first, m_first + m_count)
    std::size_t m_span = 0;           // rows read at once
    std::size_t m_first = 0, m_count = 0;
};

// The picture rows [top, bottom) under the text box, held while the text is composed on them.
struct Band
{
    int top = 0, bottom = 0;
    Surface rows;
};

// The same composition as on the whole picture: whatever of the box lies outside the band's
// rows lies outside the picture too, and is clipped there as here. style.y is in picture
// pixels before and after.
bool ComposeOnBand(Band &band, TextStyle &style)
{
    style.y -= band.top;
    const bool composed = ComposeText(band.rows, style, 0);
    style.y += band.top;
    return composed;
}

} // namespace

ComposeStep PlacedText(TextStyle &style, const TextPlacement &place)
{
    return [&style, place](Surface &surface, const DibImage &image) {
        const SIZE box = MeasureText(surface, style);
        const POINT at = place(image.GetWidth(), image.GetHeight(), box);
        style.x = at.x;
        style.y = at.y;
        return ComposeText(surface, style, 0);
    };
}

StampOutcome StreamStampFileUncommitted(const QString &source, const QString &target,
                                        TextStyle &style, const TextPlacement &place,
                                        std::unique_ptr<AtomicFile> &pending)
{
    pending.reset();
    DibFile file;
    if (!file.Open(source) || !BottomUpRows::Stream(file.Header())) {
        DibImage image;
        return StampFileUncommitted(image, source, target, PlacedText(style, place), pending);
    }
    const DibHeader &header = file.Header();
    const int width = header.width, height = header.height;

    const Surface display; // measured against the display's format, as on the working surface
    const SIZE box = MeasureText(display, style);
    const POINT at = place(width, height, box);
    style.x = at.x;
    style.y = at.y;
    Band band;
    band.top = int(std::clamp<std::int64_t>(at.y, 0, height));
    band.bottom = int(std::clamp<std::int64_t>(std::int64_t(at.y) + box.cy, 0, height));
    if (band.bottom > band.top) {
        band.rows = Surface(width, band.bottom - band.top, kBitsPerPixel);
        if (band.rows.IsNull())
            return NoMemory(source);
    } else if (!ComposeOnBand(band, style)) { // lands on no row, but is measured all the same
        return ComposeFailure(source);
    }

    BmpRowWriter writer(target, width, height, kBitsPerPixel, TargetLinks(source, target));
    if (writer.Failed())
        return WriteFailure(target, writer.Error());
    const std::size_t rowBytes = writer.RowBytes();
    const std::size_t chunkRows = std::min<std::size_t>(
        std::size_t(height), std::max<std::size_t>(1, kChunkBytes / rowBytes));
    const std::size_t chunkBytes = chunkRows * rowBytes;
    std::uint8_t *const chunk = t_writtenRows.Get(chunkBytes);
    if (!chunk)
        return NoMemory(source);

    BottomUpRows rows(file);
    if (!rows.Ready())
        return NoMemory(source);
    std::size_t filled = 0;
    for (int y = height - 1; y >= 0; --y) {
        if (y == band.bottom - 1) { // the band's rows are read whole before any goes out
            for (int b = y; b >= band.top; --b)
                if (!rows.Next(b, band.rows.Row(b - band.top)))
                    return ReadFailure(source, SystemReason(errno));
            if (!ComposeOnBand(band, style))
                return ComposeFailure(source);
        }
        std::uint8_t *out = chunk + filled;
        if (y >= band.top && y < band.bottom)
            BmpFileRow(band.rows, y - band.top, width, out);
        else if (!rows.Next(y, out))
            return ReadFailure(source, SystemReason(errno));
        filled += rowBytes;
        if (filled < chunkBytes && y > 0)
            continue;
        if (!writer.Put(chunk, filled))
            return WriteFailure(target, writer.Error());
        filled = 0;
    }
    pending = writer.Finish();
    if (pending->Failed())
        return WriteFailure(target, pending->Error());
    return {.ok = true};
}

StampOutcome StreamStampFile(const QString &source, const QString &target, TextStyle &style,
                             const TextPlacement &place)
{
    std::unique_ptr<AtomicFile> pending;
    const StampOutcome outcome = StreamStampFileUncommitted(source, target, style, place, pending);
    if (!outcome.ok)
        return outcome;
    return CommitOutcome(*pending, pending->Commit(), target);
}
