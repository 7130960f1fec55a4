#pragma once

#include <QtGlobal>
#include <array>
#include <stdexcept>

namespace quillcap {

// Rectangles of display devices by device number (1 to 8; row 0 unused):
// columns 0 left, 1 top, 2 width, 3 height, virtual-screen pixels.
class MonitorTable {
public:
    static constexpr int kSize = 9;

    // Throws std::out_of_range for an index outside 0 to 8: a caller's error.
    qint32 MParm(int device, int column) const {
        check(device, column);
        return m_cells[device][column];
    }
    void Set(int device, int column, qint32 value) {
        check(device, column);
        m_cells[device][column] = value;
    }

private:
    static void check(int device, int column) {
        if (device < 0 || device >= kSize || column < 0 || column >= kSize)
            throw std::out_of_range("monitor table index outside 0 to 8");
    }
    std::array<std::array<qint32, kSize>, kSize> m_cells{};
};

} // namespace quillcap
