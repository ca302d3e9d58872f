#pragma once

#include <QByteArray>
#include <QImage>
#include <QLabel>
#include <QList>
#include <QUrl>

// An image box: shows its picture stretched to its own size inside a single fixed border, and,
// when drops are enabled, reports files dropped onto it.
class PhotoBox : public QLabel {
    Q_OBJECT
    // The picture in its stored form (see photo::encode); bound to the photo column of a record.
    Q_PROPERTY(QByteArray storedPicture READ storedPicture WRITE setStoredPicture)
public:
    explicit PhotoBox(QWidget *parent = nullptr);

    void setPicture(const QImage &picture);
    QImage picture() const { return m_picture; }

    QByteArray storedPicture() const;
    // Damaged or oversized bytes leave the box empty.
    void setStoredPicture(const QByteArray &bytes);

    // Whether dragged files are accepted; off by default.
    void setAcceptsFiles(bool accepts);

signals:
    // The dropped files in the order the drag source lists them.
    void filesDropped(const QList<QUrl> &urls);

protected:
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    QImage m_picture;
};
