#include "mem_dc.h"

#include <QPaintDevice>

namespace qh {

CXTMemDC::CXTMemDC(QPainter* destination, QRect rect, QColor fill) : destination_(destination), rect_(rect) {
    if (!destination_ || !destination_->isActive())
        return;
    QPaintDevice* device = destination_->device();
    if (rect_.isEmpty()) {
        rect_ = destination_->hasClipping() ? destination_->clipBoundingRect().toAlignedRect()
                                            : QRect(0, 0, device->width(), device->height());
    }
    if (rect_.isEmpty())
        return;
    // Match the destination's pixel density so the copy is one-to-one.
    const qreal ratio = device->devicePixelRatioF();
    pixmap_ = QPixmap(rect_.size() * ratio);
    pixmap_.setDevicePixelRatio(ratio);
    pixmap_.fill(fill.isValid() ? fill : QColor(Qt::transparent));
    surfacePainter_ = std::make_unique<QPainter>(&pixmap_);
    // Same coordinates as the destination: callers draw as if on it.
    surfacePainter_->translate(-rect_.topLeft());
    surfacePainter_->setFont(destination_->font());
    surfacePainter_->setPen(destination_->pen());
    surfacePainter_->setRenderHints(destination_->renderHints());
    valid_ = true;
}

CXTMemDC::~CXTMemDC() {
    if (!valid_)
        return;
    surfacePainter_->end();
    destination_->drawPixmap(rect_.topLeft(), pixmap_);
}

} // namespace qh
