#include "ui/photobox.h"

#include "ui/photo.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>

PhotoBox::PhotoBox(QWidget *parent)
    : QLabel(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setFocusPolicy(Qt::NoFocus);
}

void PhotoBox::setPicture(const QImage &picture) {
    m_picture = picture;
    update();
}

QByteArray PhotoBox::storedPicture() const {
    return photo::encode(m_picture);
}

void PhotoBox::setStoredPicture(const QByteArray &bytes) {
    setPicture(photo::decode(bytes));
}

void PhotoBox::setAcceptsFiles(bool accepts) {
    setAcceptDrops(accepts);
}

void PhotoBox::paintEvent(QPaintEvent *event) {
    QFrame::paintEvent(event);
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(contentsRect(), m_picture);
}

void PhotoBox::dragEnterEvent(QDragEnterEvent *event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void PhotoBox::dragMoveEvent(QDragMoveEvent *event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void PhotoBox::dropEvent(QDropEvent *event) {
    if (!event->mimeData()->hasUrls())
        return;
    event->acceptProposedAction();
    emit filesDropped(event->mimeData()->urls());
}
