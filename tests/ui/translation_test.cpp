// Every window in a pseudo-language whose texts are bracketed, about 40%
// longer and accented: a text without a bracket escaped the catalogue, and a
// control narrower than its text would cut a longer language off.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <clocale>
#include <cstdlib>
#include <set>

#include "settings_window_fixture.h"
#include "text/translation.h"
#include "ui/display_warning_window.h"
#include "ui/splash_window.h"

namespace kestrel::ui {
namespace {

// Texts that are not the program's words: its name, numbers, keys, and what
// the user or the file system named.
const std::set<QString> kNotWords = {QStringLiteral("Kestrel"), QStringLiteral("F6")};

// Controls that show the user's data rather than the program's words.
const std::set<QString> kDataControls = {
    QStringLiteral("txtSourceDir"), QStringLiteral("txtDestDir"), QStringLiteral("cboTemplate")};

bool IsWords(const QString& text) {
    // Paths and drive letters ("D:", "C:  /") are the file system's names.
    const bool isDrive = text.size() >= 2 && text[0].isUpper() && text[1] == u':' &&
                         (text.size() == 2 || text[2] == u' ');
    if (kNotWords.count(text) != 0 || text.startsWith(u'/') || isDrive) {
        return false;
    }
    for (const QChar c : text) {
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) {
            return true;
        }
    }
    return false;
}

struct Finding {
    QString where;
    QString text;
};

class TextWalk {
  public:
    void Check(const QObject* object, const char* what, const QString& text) {
        if (IsWords(text) && !text.contains(u'[')) {
            untranslated.push_back(
                {Name(object) + QStringLiteral(" ") + QLatin1String(what), text});
        }
    }

    void CheckFits(const QWidget* widget, const QString& text, QSize need) {
        // A symbol on a narrow button ("<>") is the same in every language.
        if (IsWords(text) && need.isValid() &&
            (widget->width() < need.width() || widget->height() < need.height())) {
            clipped.push_back({Name(widget), text});
        }
    }

    void Walk(QWidget* window) {
        Check(window, "title", window->windowTitle());
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            if (widget->window() != window || !widget->isVisible() ||
                kDataControls.count(widget->objectName()) != 0) {
                continue;
            }
            Check(widget, "tooltip", widget->toolTip());
            Check(widget, "accessible name", widget->accessibleName());
            Check(widget, "accessible description", widget->accessibleDescription());
            WalkText(widget);
        }
        // Menus (the lists' and the tag buttons') show their actions' texts.
        for (QAction* action : window->findChildren<QAction*>()) {
            Check(action, "menu entry", action->text());
            Check(action, "menu tooltip", action->toolTip());
        }
    }

    std::vector<Finding> untranslated;
    std::vector<Finding> clipped;

  private:
    static QString Name(const QObject* object) {
        const QString name = object->objectName();
        return name.isEmpty() ? QString::fromLatin1(object->metaObject()->className()) : name;
    }

    void WalkText(QWidget* widget) {
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            Check(label, "text", label->text());
            if (!label->text().isEmpty() && label->pixmap().isNull()) {
                CheckFits(label, label->text(),
                          label->wordWrap() ? QSize(0, label->heightForWidth(label->width()))
                                            : label->sizeHint());
            }
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            Check(button, "text", button->text());
            if (!button->text().isEmpty()) {
                CheckFits(button, button->text(), button->sizeHint());
            }
        } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
            Check(frame, "title", frame->title());
            CheckFits(frame, frame->title(), frame->minimumSizeHint());
        } else if (auto* combo = qobject_cast<QComboBox*>(widget); combo && !combo->isEditable()) {
            for (int i = 0; i < combo->count(); ++i) {
                Check(combo, "entry", combo->itemText(i));
            }
        } else if (auto* field = qobject_cast<QLineEdit*>(widget)) {
            Check(field, "placeholder", field->placeholderText());
        } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
            for (int i = 0; i < tabs->count(); ++i) {
                Check(tabs, "tab", tabs->tabText(i));
            }
        }
    }
};

std::string Describe(const std::vector<Finding>& findings) {
    std::string out;
    for (const Finding& finding : findings) {
        out += finding.where.toStdString() + ": \"" + finding.text.toStdString() + "\"\n";
    }
    return out;
}

// Set before the window is made, since widgets take their texts as they are
// made. The locale need not be installed: the language follows LANG all the same.
class Language {
  protected:
    Language(const char* lang, const char* language) {
        ::unsetenv("LC_ALL");
        ::unsetenv("LC_MESSAGES");
        ::setenv("LANG", lang, 1);
        ::setenv("LANGUAGE", language, 1);
        text::StartTranslations(KESTREL_LOCALE_FOLDER);
    }
    ~Language() {
        // English again for any test that runs after this one in the process.
        ::unsetenv("LANGUAGE");
        std::setlocale(LC_MESSAGES, "C");
    }
};

struct PseudoLanguage : Language {
    PseudoLanguage() : Language("C.UTF-8", "en@pseudo") {}
};

class PseudoLanguageTest : private PseudoLanguage, public SettingsWindowTest {
  protected:
    // The main window first, then every dialog and the windows of the start.
    TextWalk WalkEveryWindow() {
        drive.WriteFile("a.txt", "");
        window->RefreshForced();
        QApplication::processEvents();
        TextWalk walk;
        walk.Walk(window.get());
        std::vector<QWidget*> others;
        for (QDialog* dialog : OpenEveryDialog()) {
            others.push_back(dialog);
        }
        others.push_back(new SplashWindow(window.get()));
        others.push_back(new DisplayWarningWindow(store, window.get()));
        for (QWidget* other : others) {
            other->show();
            QApplication::processEvents();
            walk.Walk(other);
            other->hide();
        }
        return walk;
    }
};

TEST_F(PseudoLanguageTest, EveryWindowShowsOnlyTranslatedTextsThatFit) {
    // A field's check speaks through a message box, in the core's words.
    TypeAndLeave("txtAutonumberStep", "0");
    ASSERT_EQ(boxes.size(), 1U);
    TypeAndLeave("txtAutonumberStep", "1");
    TextWalk walk = WalkEveryWindow();
    for (const Box& box : boxes) {
        walk.Check(window.get(), "message box", QString::fromStdString(box.text));
        walk.Check(window.get(), "message box title", QString::fromStdString(box.title));
    }
    EXPECT_TRUE(walk.untranslated.empty()) << Describe(walk.untranslated);
    EXPECT_TRUE(walk.clipped.empty()) << Describe(walk.clipped);
}

class LanguageWindowTest : private Language,
                           public SettingsWindowTest,
                           public ::testing::WithParamInterface<const char*> {
  protected:
    LanguageWindowTest() : Language(GetParam(), "") {}
};

// German and French run up to a third longer than English: every window must still fit
// a 1024x768 screen with room for its frame, and cut no text off there.
TEST_P(LanguageWindowTest, EveryWindowFitsA1024By768Screen) {
    ASSERT_NE(window->findChild<QPushButton*>(QStringLiteral("cmdDoIt"))->text(),
              QStringLiteral("&Do It!"));
    drive.WriteFile("a.txt", "");
    window->RefreshForced();
    const QSize screen(1024 - 8, 768 - 32);
    window->resize(screen);
    QApplication::processEvents();
    EXPECT_LE(window->width(), screen.width());
    EXPECT_LE(window->height(), screen.height());
    TextWalk walk;
    walk.Walk(window.get());
    for (QDialog* dialog : OpenEveryDialog()) {
        SCOPED_TRACE(dialog->objectName().toStdString());
        dialog->show();
        QApplication::processEvents();
        EXPECT_LE(dialog->width(), screen.width());
        EXPECT_LE(dialog->height(), screen.height());
        walk.Walk(dialog);
        dialog->hide();
    }
    EXPECT_TRUE(walk.clipped.empty()) << Describe(walk.clipped);
}

INSTANTIATE_TEST_SUITE_P(Shipped, LanguageWindowTest,
                         ::testing::Values("de_DE.UTF-8", "fr_FR.UTF-8"));

}  // namespace
}  // namespace kestrel::ui
