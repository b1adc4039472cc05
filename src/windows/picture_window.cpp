#include "windows/picture_window.h"

#include "settings/string_table.h"

#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

PictureWindow::PictureWindow(const QString &path, int langOffset, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    auto text = [langOffset](int id) { return StringTable::text(id, langOffset).value_or(QString()); };
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    QImageReader reader(path);
    const QImage picture = reader.read();
    if (picture.isNull()) {
        setWindowTitle(text(103));
        auto *message = new QLabel(text(101) + QStringLiteral("\n") + text(102), this);
        message->setAlignment(Qt::AlignCenter);
        message->setMargin(24);
        layout->addWidget(message);
        return;
    }
    setWindowTitle(QFileInfo(path).completeBaseName());
    auto *label = new QLabel(this);
    label->setPixmap(QPixmap::fromImage(picture));
    auto *area = new QScrollArea(this);
    area->setWidget(label);
    area->setAlignment(Qt::AlignCenter);
    layout->addWidget(area);
    resize(picture.size().boundedTo(QSize(1000, 800)) + QSize(4, 4));
}
