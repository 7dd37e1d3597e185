#pragma once

#include <QDialog>

// The About box: the program's icon, what it does and how to reach its makers.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget *parent = nullptr);
};
