#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDirIterator>
#include <QLabel>
#include <QMenu>
#include <QTabBar>
#include <QTableWidget>
#include <algorithm>
#include <sstream>

#include "tests/support/temp_folder.h"

namespace tlv::testing {

// The name of the picture in :/icons that shows as this icon, "" for none.
inline QString picture_of(const QIcon& icon, QSize size = {16, 16}) {
    if (icon.isNull()) return {};
    const QImage shown = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
    for (QDirIterator it(QStringLiteral(":/icons")); it.hasNext();) {
        const QString file = it.next();
        if (QIcon(file).pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32) == shown)
            return QFileInfo(file).baseName();
    }
    return QStringLiteral("?");
}

// A window's title, else the control's text or title property, else the
// tabs or column headings it shows, joined by "|".
inline QString text_of(const QObject* o) {
    auto* w = qobject_cast<const QWidget*>(o);
    if (w && w->isWindow() && !qobject_cast<const QMenu*>(o)) return w->windowTitle();
    for (const char* name : {"text", "title"})
        if (QVariant value = o->property(name); value.isValid()) return value.toString();
    QStringList parts;
    if (auto* t = qobject_cast<const QTabBar*>(o))
        for (int i = 0; i < t->count(); ++i) parts << t->tabText(i);
    if (auto* t = qobject_cast<const QTableWidget*>(o))
        for (int i = 0; i < t->columnCount(); ++i) parts << t->horizontalHeaderItem(i)->text();
    return parts.join(QLatin1Char('|'));
}

// One line per named widget or action: class, name, text, then the tooltip,
// shortcut, two-state kind and picture where it has them.
inline QString form_line(const QObject* o) {
    QString line = QString::fromLatin1(o->metaObject()->className()) + QLatin1Char(' ') +
                   o->objectName() + QStringLiteral(" \"") + text_of(o) + QLatin1Char('"');
    QString tip, picture;
    if (auto* a = qobject_cast<const QAction*>(o)) {
        if (a->toolTip() != QString(a->text()).remove(QLatin1Char('&'))) tip = a->toolTip();
        if (!a->shortcut().isEmpty()) line += QStringLiteral(" key ") + a->shortcut().toString();
        if (a->isCheckable()) line += QStringLiteral(" checkable");
        picture = picture_of(a->icon());
    } else if (auto* w = qobject_cast<const QWidget*>(o)) {
        tip = w->toolTip();
        auto* label = qobject_cast<const QLabel*>(w);
        if (w->isWindow() && !qobject_cast<const QMenu*>(w)) picture = picture_of(w->windowIcon());
        if (label && !label->pixmap().isNull())
            picture = picture_of(label->pixmap(), label->pixmap().size());
    }
    if (!tip.isEmpty()) line += QStringLiteral(" tip \"") + tip + QLatin1Char('"');
    if (!picture.isEmpty()) line += QStringLiteral(" picture ") + picture;
    return line;
}

inline void dump_form(const QObject* o, int depth, std::string& out) {
    const bool named = !o->objectName().isEmpty() && !o->objectName().startsWith("qt_");
    auto* action = qobject_cast<const QAction*>(o);
    if (action && action->isSeparator()) out += std::string(depth * 2, ' ') + "-\n";
    if (named && (action || o->isWidgetType()))
        out += std::string(depth * 2, ' ') + form_line(o).toStdString() + '\n';
    if (qobject_cast<const QTabBar*>(o) || qobject_cast<const QTableWidget*>(o)) return;
    for (const QObject* child : o->children()) dump_form(child, depth + named, out);
}

// Compares what a pilot sees of a form with its hand-written golden file in
// tests/window/golden, and checks that no two named controls in view cover
// each other (beyond the 30 twips where the designed twips make them touch).
inline void expect_form(const QWidget& form, const char* golden) {
    QCoreApplication::processEvents();  // the layouts place their controls
    const auto controls = form.findChildren<QWidget*>();
    for (const QWidget* one : controls)
        for (const QWidget* other : controls) {
            const QRect both = one->geometry() & other->geometry();
            if (one < other && one->parent() == other->parent() && one->isVisible() &&
                other->isVisible() && !one->objectName().isEmpty() &&
                !other->objectName().isEmpty()) {
                EXPECT_LE(std::min(both.width(), both.height()) * 1440 / form.logicalDpiY(), 30)
                    << golden << ": " << one->objectName().toStdString() << " covers "
                    << other->objectName().toStdString();
            }
        }
    std::string dump;
    dump_form(&form, 0, dump);
    EXPECT_EQ(dump, read_bytes(test_data(std::string("window/golden/") + golden))) << golden;
}

// Checks where a form's designed controls sit: a golden file of lines "name
// left top width height" in twips, "*" for a size that follows the font.
// Exact at 1440 dots per inch (tests/window/twips.json), where a twip is a
// pixel; at 96 a pixel is 15 twips, and a value is right within half of that.
inline void expect_twips(const QWidget& form, const char* golden) {
    const double dpi = form.logicalDpiY();
    std::istringstream lines(read_bytes(test_data(std::string("window/golden/") + golden)));
    std::string name, want;
    while (lines >> name) {
        const QString wanted = QString::fromStdString(name);
        const QWidget* control =
            wanted == form.objectName() ? &form : form.findChild<QWidget*>(wanted);
        ASSERT_NE(control, nullptr) << name;
        const QRect at = control->geometry();
        for (int pixels : {at.x(), at.y(), at.width(), at.height()}) {
            if (lines >> want && want != "*") {
                EXPECT_NEAR(pixels * 1440 / dpi, std::stol(want), 720 / dpi) << name;
            }
        }
    }
}

}  // namespace tlv::testing
