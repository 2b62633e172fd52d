#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QDirIterator>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabBar>
#include <QTableWidget>
#include <algorithm>
#include <climits>
#include <map>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace tlv::testing {

// What a pilot sees of a form, one line per named widget or action in the
// order they are laid out: class, name, text, tooltip, shortcut, picture.
// Compared whole with a hand-written file of tests/window/golden.
class FormDump {
public:
    static std::string of(const QWidget& form) {
        FormDump dump;
        dump.add(form, 0);
        return dump.text_;
    }

private:
    // The name of the picture in :/icons that shows as this image, or "?".
    static std::string picture(const QImage& shown) {
        QImage image = shown.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (QDirIterator it(QStringLiteral(":/icons")); it.hasNext();) {
            QString file = it.next();
            QImage candidate = QIcon(file).pixmap(image.size()).toImage().convertToFormat(
                QImage::Format_ARGB32_Premultiplied);
            if (candidate == image) return QFileInfo(file).baseName().toStdString();
        }
        return "?";
    }
    static std::string picture(const QIcon& icon) {
        return icon.isNull() ? "" : picture(icon.pixmap(16, 16).toImage());
    }
    static QString texts(const QStringList& list) { return list.join(QLatin1Char('|')); }
    static QString text_of(const QObject& object) {
        if (auto* a = qobject_cast<const QAction*>(&object)) return a->text();
        if (auto* m = qobject_cast<const QMenu*>(&object)) return m->title();
        if (auto* w = qobject_cast<const QWidget*>(&object); w && w->isWindow())
            return w->windowTitle();
        if (auto* b = qobject_cast<const QAbstractButton*>(&object)) return b->text();
        if (auto* l = qobject_cast<const QLabel*>(&object)) return l->text();
        if (auto* g = qobject_cast<const QGroupBox*>(&object)) return g->title();
        if (auto* e = qobject_cast<const QLineEdit*>(&object)) return e->text();
        QStringList parts;
        if (auto* t = qobject_cast<const QTabBar*>(&object))
            for (int i = 0; i < t->count(); ++i) parts << t->tabText(i);
        if (auto* t = qobject_cast<const QTableWidget*>(&object))
            for (int i = 0; i < t->columnCount(); ++i) parts << t->horizontalHeaderItem(i)->text();
        return texts(parts);
    }
    void line(const QObject& object, int depth, const QString& tip, const std::string& shown) {
        QString out = QString(depth * 2, QLatin1Char(' ')) +
                      QString::fromLatin1(object.metaObject()->className()) + QLatin1Char(' ') +
                      object.objectName() + QStringLiteral(" \"") + text_of(object) +
                      QLatin1Char('"');
        if (!tip.isEmpty()) out += QStringLiteral(" tip \"") + tip + QLatin1Char('"');
        if (auto* a = qobject_cast<const QAction*>(&object)) {
            if (!a->shortcut().isEmpty()) out += QStringLiteral(" key ") + a->shortcut().toString();
            if (a->isCheckable()) out += QStringLiteral(" checkable");
        }
        text_ += out.toStdString();
        if (!shown.empty()) text_ += " picture " + shown;
        text_ += '\n';
    }
    void add(const QObject& object, int depth) {
        bool named = !object.objectName().isEmpty() && !object.objectName().startsWith("qt_");
        if (auto* a = qobject_cast<const QAction*>(&object)) {
            if (a->isSeparator()) text_ += std::string(depth * 2, ' ') + "-\n";
            QString plain = QString(a->text()).remove(QLatin1Char('&'));
            if (named) line(object, depth, a->toolTip() == plain ? QString() : a->toolTip(),
                            picture(a->icon()));
        } else if (auto* w = qobject_cast<const QWidget*>(&object); w && named) {
            auto* label = qobject_cast<const QLabel*>(w);
            bool has_pixmap = label && !label->pixmap().isNull();
            line(object, depth, w->toolTip(),
                 w->isWindow() && !qobject_cast<const QMenu*>(w) ? picture(w->windowIcon())
                 : has_pixmap  ? picture(label->pixmap().toImage())
                               : "");
        }
        if (qobject_cast<const QTabBar*>(&object) || qobject_cast<const QTableWidget*>(&object))
            return;  // their children are Qt's own
        for (const QObject* child : in_reading_order(object))
            add(*child, named ? depth + 1 : depth);
    }
    // Actions and pop-ups as made; then the controls in view, row by row (a
    // row: controls whose heights overlap) and left to right; then those out
    // of view, as made.
    static std::vector<const QObject*> in_reading_order(const QObject& object) {
        std::vector<const QObject*> children(object.children().begin(), object.children().end());
        auto in_view = [](const QObject* child) {
            auto* widget = qobject_cast<const QWidget*>(child);
            return widget && !widget->isWindow() && widget->isVisibleTo(widget->parentWidget()) &&
                   widget->x() >= 0;
        };
        auto unplaced = [](const QObject* child) {
            auto* widget = qobject_cast<const QWidget*>(child);
            return !widget || widget->isWindow();
        };
        auto shown = std::stable_partition(children.begin(), children.end(), unplaced);
        auto hidden = std::stable_partition(shown, children.end(), in_view);
        auto geometry = [](const QObject* w) { return static_cast<const QWidget*>(w)->geometry(); };
        std::stable_sort(shown, hidden, [&](auto* a, auto* b) { return geometry(a).y() < geometry(b).y(); });
        std::map<const QObject*, int> row;
        int bottom = INT_MIN, rows = 0;
        for (auto it = shown; it != hidden; ++it) {
            if (geometry(*it).top() > bottom) ++rows;
            bottom = std::max(bottom, geometry(*it).bottom());
            row[*it] = rows;
        }
        std::stable_sort(shown, hidden, [&](auto* a, auto* b) {
            return std::pair(row[a], geometry(a).x()) < std::pair(row[b], geometry(b).x());
        });
        return children;
    }

    std::string text_;
};

// Compares a form with its hand-written golden file, and checks that no two
// of its named controls that are shown cover each other (beyond the edge or
// two where the designed twips make them touch).
inline void expect_form(const QWidget& form, const char* golden) {
    QCoreApplication::processEvents();  // the layouts place their controls
    for (const QWidget* one : form.findChildren<QWidget*>()) {
        for (const QWidget* other : form.findChildren<QWidget*>()) {
            if (one < other && one->parent() == other->parent() && one->isVisible() &&
                other->isVisible() && !one->objectName().isEmpty() &&
                !other->objectName().isEmpty()) {
                QRect both = one->geometry() & other->geometry();  // designed: 30 twips
                EXPECT_LE(std::min(both.width(), both.height()) * 1440 / form.logicalDpiY(), 30)
                    << golden << ": " << one->objectName().toStdString() << " covers "
                    << other->objectName().toStdString();
            }
        }
    }
    EXPECT_EQ(FormDump::of(form),
              read_bytes(test_data(std::string("window/golden/") + golden)))
        << golden;
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
        const QWidget* control = name == form.objectName().toStdString()
                                     ? &form
                                     : form.findChild<QWidget*>(QString::fromStdString(name));
        ASSERT_NE(control, nullptr) << name;
        const QRect at = control->geometry();
        for (int pixels : {at.x(), at.y(), at.width(), at.height()}) {
            lines >> want;
            if (want != "*") {
                EXPECT_NEAR(pixels * 1440 / dpi, std::stol(want), 720 / dpi) << name;
            }
        }
    }
}

}  // namespace tlv::testing
