#include "app/qt_translations.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include <gtest/gtest.h>

// Qt's own buttons speak the interface's language; scripts/setup installs the translation.
TEST(QtTranslations, MessageBoxButtonsAreChinese)
{
    const QLocale before;
    ASSERT_TRUE(InstallChineseQtTexts(*qApp));
    QMessageBox box(QMessageBox::NoIcon, QString(), QString(),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok);
    EXPECT_TRUE(box.button(QMessageBox::Yes)->text().contains(QStringLiteral("是")));
    EXPECT_TRUE(box.button(QMessageBox::No)->text().contains(QStringLiteral("否")));
    EXPECT_TRUE(box.button(QMessageBox::Ok)->text().contains(QStringLiteral("确定")));

    // The other tests run in English.
    for (QTranslator *translator : qApp->findChildren<QTranslator *>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    QLocale::setDefault(before);
}
