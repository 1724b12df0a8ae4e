// An off-screen drawing surface: everything painted through it reaches the
// destination in one copy when it goes out of scope, so a repaint never shows
// half-drawn states.
#ifndef QUILLHORN_MEM_DC_H
#define QUILLHORN_MEM_DC_H

#include <QColor>
#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <memory>

namespace qh {

class CXTMemDC {
public:
    // `rect` in the destination's coordinates; empty means the destination's
    // clip box (or its whole device when it does not clip). An invalid `fill`
    // leaves the surface transparent.
    explicit CXTMemDC(QPainter* destination, QRect rect = QRect(), QColor fill = QColor());
    ~CXTMemDC();
    CXTMemDC(const CXTMemDC&) = delete;
    CXTMemDC& operator=(const CXTMemDC&) = delete;

    // Draws in the destination's coordinates. When the surface could not be
    // made (no active destination, empty rectangle) this is the destination
    // itself, so drawing still lands somewhere sensible.
    QPainter* painter() { return valid_ ? surfacePainter_.get() : destination_; }
    bool isValid() const { return valid_; }
    QRect rect() const { return rect_; }

private:
    QPainter* destination_;
    QRect rect_;
    QPixmap pixmap_;
    std::unique_ptr<QPainter> surfacePainter_;
    bool valid_ = false;
};

} // namespace qh

#endif
