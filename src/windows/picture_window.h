#pragma once

#include <QWidget>

// Shows a fetched picture at its size, scrolling when it is larger than the
// screen allows; "unavailable poster" when it cannot be read.
class PictureWindow : public QWidget
{
    Q_OBJECT

public:
    PictureWindow(const QString &path, int langOffset, QWidget *parent = nullptr);
};
