#include "ui/preferences_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/workspace.h"
#include "platform/desktop_tools.h"
#include "settings/preferences.h"
#include "text/numbers.h"
#include "ui/dialog_controls.h"
#include "ui/qt_text.h"
#include "ui/qt_ui.h"
#include "ui/sounds_window.h"

namespace kestrel::ui {
namespace {

QGroupBox* Frame(const char* name, const QString& caption, QWidget* parent) {
    return Named(new QGroupBox(caption, parent), name);
}

QCheckBox* Check(const char* name, const QString& caption, QWidget* parent) {
    auto* box = Named(new QCheckBox(caption, parent), name);
    box->setAccessibleName(box->text());
    return box;
}

QComboBox* Choice(const char* name, std::initializer_list<QString> entries, QWidget* parent) {
    auto* combo = Named(new QComboBox(parent), name);
    for (const QString& entry : entries) {
        combo->addItem(entry);
    }
    return combo;
}

QSlider* Slider(const char* name, int minimum, int maximum, int largeStep, int tickEvery,
                const QString& accessibleName, QWidget* parent) {
    auto* slider = Named(new QSlider(Qt::Horizontal, parent), name);
    slider->setRange(minimum, maximum);
    slider->setSingleStep(1);
    slider->setPageStep(largeStep);
    slider->setTickInterval(tickEvery);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setAccessibleName(accessibleName);
    return slider;
}

// The text of the value the slider shows, from the record's caption functions.
QString MaxLengthText(int value) {
    return ToQString(settings::MaxLengthCaption(value));
}
QString SoundsText(int value) {
    return ToQString(settings::SoundsThresholdCaption(value));
}
QString ErrorCheckText(int value) {
    return ToQString(settings::ErrorCheckCaption(value));
}

// The cutoff box takes digit keystrokes only. Text that arrives otherwise
// (pasted) is read with the leading-number rule, as every number field is.
bool InsertsNonDigit(const QKeyEvent& event) {
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return false;
    }
    const QString text = event.text();
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.isPrint() && (c < u'0' || c > u'9'); });
}

// Focus that moves to a message box, a menu or another window is not the user
// leaving the field.
bool LeavesField(const QFocusEvent& event) {
    return event.reason() != Qt::ActiveWindowFocusReason &&
           event.reason() != Qt::PopupFocusReason && event.reason() != Qt::MenuBarFocusReason;
}

}  // namespace

PreferencesWindow::PreferencesWindow(app::Workspace& workspace, QtUi& ui, Hooks hooks,
                                     QWidget* parent)
    : QDialog(parent), workspace_(workspace), ui_(ui), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("frmPreferences"));
    setWindowTitle(Tr("Preferences"));
    setWindowModality(Qt::ApplicationModal);

    // The processing options have the longest captions; across the full
    // width they keep the window within a 1024 x 768 desktop.
    auto* left = new QVBoxLayout;
    left->addWidget(BuildDisplayFrame());
    left->addWidget(BuildSaveFrame());
    left->addWidget(BuildMouseFrame());
    left->addWidget(BuildInternetFrame());
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(BuildSoundsFrame());
    right->addWidget(BuildLengthFrame());
    right->addWidget(BuildErrorFrame());
    right->addStretch(1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    QWidget* processing = BuildProcessingFrame();

    // Made last, so that Tab reaches them after every setting.
    const OkCancelRow buttons = BuildOkCancelRow(this, "btnOK", N_("&OK"), "btnCancel");
    btnOK_ = buttons.ok;
    btnCancel_ = buttons.cancel;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(processing);
    layout->addLayout(buttons.row);
    Connect();
    DownloadSettings();
}

QWidget* PreferencesWindow::BuildDisplayFrame() {
    // TRANSLATORS: The frame of the display settings in the Preferences window.
    QGroupBox* frame = Frame("fraDisplay", Tr("Display"), this);
    cmdDisplay_ = DialogButton("cmdDisplay", Tr("&Display Properties"), frame);
    cboDisplay_ =
        Choice("cboDisplay",
               // TRANSLATORS: Where the program window may open; each
               // completes "Program window opens in".
               {Tr("last saved position"), Tr("center of screen"), Tr("upper-left corner"),
                Tr("lower-right corner"), Tr("lower-left corner"), Tr("upper-right corner")},
               frame);
    cboPathStyle_ = Choice(
        "cboPathStyle",
        // TRANSLATORS: The ways of showing paths; each completes
        // "Show paths as". The path in parentheses is an example.
        {Tr("this computer's (/home/me/Photos)"), Tr("drive letters (C:\\home\\me\\Photos)")},
        frame);
    cboPathStyle_->setToolTip(
        Tr("How folder boxes, lists and messages write paths; files are written alike either way"));
    auto* grid = new QGridLayout(frame);
    grid->addWidget(cmdDisplay_, 0, 0, Qt::AlignLeft);
    grid->addWidget(FieldLabel(Tr("Program window opens in"), cboDisplay_, frame), 1, 0);
    grid->addWidget(cboDisplay_, 1, 1);
    grid->addWidget(FieldLabel(Tr("Show paths as"), cboPathStyle_, frame), 2, 0);
    grid->addWidget(cboPathStyle_, 2, 1);
    grid->setColumnStretch(1, 1);
    return frame;
}

QWidget* PreferencesWindow::BuildSaveFrame() {
    // TRANSLATORS: The frame of the settings about saving, in the Preferences window.
    QGroupBox* frame = Frame("fraSave", Tr("Save"), this);
    cmdTemplates_ = DialogButton("cmdTemplates", Tr("&Template Manager"), frame);
    chkSaveTemplate_ = Check(
        "chkSaveTemplate", Tr("Save all settings as the default template on program exit"), frame);
    auto* column = new QVBoxLayout(frame);
    column->addWidget(cmdTemplates_, 0, Qt::AlignLeft);
    column->addWidget(chkSaveTemplate_);
    return frame;
}

QWidget* PreferencesWindow::BuildMouseFrame() {
    QGroupBox* frame = Frame("fraMouse", Tr("Mouse"), this);
    cmdMouse_ = DialogButton("cmdMouse", Tr("&Mouse Properties"), frame);
    // TRANSLATORS: What double-clicking does; each completes "Double-clicking
    // a filename" or "Double-clicking on a folder".
    const QString renameSingle = Tr("opens the rename single entry window");
    cboDClickFile_ = Choice(
        "cboDClickFile",
        {renameSingle, Tr("deletes the file"), Tr("launches the file with its default program")},
        frame);
    cboDClickFolder_ = Choice("cboDClickFolder",
                              {renameSingle, Tr("deletes the folder (if empty)"),
                               Tr("explores the folder"), Tr("changes to that folder")},
                              frame);
    for (QComboBox* combo : {cboDClickFile_, cboDClickFolder_}) {
        combo->setToolTip(Tr("Choose default action"));
    }
    auto* grid = new QGridLayout(frame);
    grid->addWidget(cmdMouse_, 0, 0, Qt::AlignLeft);
    grid->addWidget(FieldLabel(Tr("Double-clicking a filename"), cboDClickFile_, frame), 1, 0);
    grid->addWidget(cboDClickFile_, 1, 1);
    grid->addWidget(FieldLabel(Tr("Double-clicking on a folder"), cboDClickFolder_, frame), 2, 0);
    grid->addWidget(cboDClickFolder_, 2, 1);
    grid->setColumnStretch(1, 1);
    return frame;
}

QWidget* PreferencesWindow::BuildInternetFrame() {
    QGroupBox* frame = Frame("fraInternetUpdate", Tr("Internet Update"), this);
    cmdDialUp_ = DialogButton("cmdDialUp", Tr("&Dial-up Properties"), frame);
    cmdInternet_ = DialogButton("cmdInternet", Tr("&Internet Settings"), frame);
    cmdCheck_ = DialogButton("cmdCheck", Tr("Check for &Update"), frame);
    chkAutoUpdate_ = Check("chkAutoUpdate",
                           Tr("Check for internet updates on program launch (recommended)"), frame);
    chkAutoUpdate_->setToolTip(Tr("Turn on for high-speed internet connections"));
    auto* row = new QHBoxLayout;
    row->addWidget(cmdDialUp_);
    row->addWidget(cmdInternet_);
    row->addWidget(cmdCheck_);
    row->addStretch(1);
    auto* column = new QVBoxLayout(frame);
    column->addLayout(row);
    column->addWidget(chkAutoUpdate_);
    return frame;
}

QWidget* PreferencesWindow::BuildSoundsFrame() {
    QGroupBox* frame = Frame("fraSounds", Tr("Sounds"), this);
    cmdSounds_ = DialogButton("cmdSounds", Tr("Change &Sounds"), frame);
    sldSoundsTime_ = Slider("sldSoundsTime", 0, settings::kMaxSoundsThreshold, 30, 30,
                            Tr("Sounds threshold"), frame);
    sldSoundsTime_->setToolTip(
        Tr("Sets minimum amount of time spent processing before playing a sound"));
    lblSoundsThreshold_ = Named(new QLabel(frame), "lblSoundsThreshold");
    ReserveWidthFor(lblSoundsThreshold_, {SoundsText(0), SoundsText(1), SoundsText(300)});

    const std::array<const char*, 2> names = {"imgSpeaker0", "imgSpeaker1"};
    const std::array<QStyle::StandardPixmap, 2> pictures = {QStyle::SP_MediaVolume,
                                                            QStyle::SP_MediaVolumeMuted};
    // TRANSLATORS: The speaker picture shown while sounds are on, and the one
    // shown while they are muted.
    const std::array<QString, 2> tips = {Tr("Enables sounds"), Tr("Mutes sounds")};
    const std::array<QString, 2> actions = {Tr("Click to mute sounds"),
                                            Tr("Click to enable sounds")};
    auto* speakers = new QHBoxLayout;
    speakers->setContentsMargins(0, 0, 0, 0);
    for (std::size_t i = 0; i < imgSpeaker_.size(); ++i) {
        auto* image = Named(new QToolButton(frame), names[i]);
        image->setIcon(style()->standardIcon(pictures[i]));
        image->setIconSize(QSize(32, 32));
        image->setAutoRaise(true);
        image->setFocusPolicy(Qt::StrongFocus);
        image->setToolTip(tips[i]);
        image->setAccessibleName(image->toolTip());
        image->setAccessibleDescription(actions[i]);
        speakers->addWidget(image);
        imgSpeaker_[i] = image;
    }

    auto* grid = new QGridLayout(frame);
    grid->addWidget(cmdSounds_, 0, 0, Qt::AlignLeft);
    grid->addLayout(speakers, 0, 1, 2, 1, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(sldSoundsTime_, 1, 0);
    grid->addWidget(lblSoundsThreshold_, 2, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    return frame;
}

QWidget* PreferencesWindow::BuildProcessingFrame() {
    QGroupBox* frame = Frame("fraProcessing", Tr("Processing"), this);
    chkAutoRefresh_ = Check(
        "chkAutoRefresh",
        Tr("Automatically refresh file lists upon detecting change in view or rename options"),
        frame);
    chkAutoRefresh_->setToolTip(Tr("Automatically updates lists whenever options change"));
    chkPreviewWhileTyping_ =
        Check("chkPreviewWhileTyping", Tr("Update the preview while typing"), frame);
    chkPreviewWhileTyping_->setToolTip(
        Tr("Shows new names as each character is typed, not only when you leave a box"));
    chkAutoResetOptions_ =
        Check("chkAutoResetOptions",
              Tr("Automatically clear rename option checkboxes after every operation"), frame);
    chkHideLists_ = Check(
        "chkHideLists",
        Tr("Wait until processing is finished before refreshing file lists (faster performance)"),
        frame);
    // TRANSLATORS: A check box followed by a box for a number of files and by
    // "file(s) (helps prevent "runaway" processing)": the three read as one
    // sentence.
    chkMaxList_ = Check("chkMaxList", Tr("Interrupt processing at"), frame);
    chkMaxList_->setToolTip(Tr("Also valuable working across network drives"));
    txtMaxListCutoff_ = Named(new QLineEdit(frame), "txtMaxListCutoff");
    txtMaxListCutoff_->setFixedWidth(
        txtMaxListCutoff_->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 14);
    txtMaxListCutoff_->setAlignment(Qt::AlignRight);
    txtMaxListCutoff_->setAccessibleName(chkMaxList_->text());
    // TRANSLATORS: Follows "Interrupt processing at" and a number of files.
    auto* files = new QLabel(Tr("file(s) (helps prevent \"runaway\" processing)"), frame);
    txtMaxListCutoff_->setAccessibleDescription(files->text());

    auto* cutoff = new QHBoxLayout;
    cutoff->addWidget(chkMaxList_);
    cutoff->addWidget(txtMaxListCutoff_);
    cutoff->addWidget(files);
    cutoff->addStretch(1);
    auto* column = new QVBoxLayout(frame);
    for (QCheckBox* box :
         {chkAutoRefresh_, chkPreviewWhileTyping_, chkAutoResetOptions_, chkHideLists_}) {
        column->addWidget(box);
    }
    column->addLayout(cutoff);
    return frame;
}

QWidget* PreferencesWindow::BuildLengthFrame() {
    QGroupBox* frame = Frame("fraLengthChecking", Tr("Length Checking"), this);
    // TRANSLATORS: ISO9660 is the file system of CD-ROMs; its name stays as it is.
    auto* note = new QLabel(Tr("ISO9660 maximums are 31 and 63 characters"), frame);
    chkMaxLength_ = Check("chkMaxLength", QString(), frame);
    ReserveWidthFor(chkMaxLength_, {MaxLengthText(1), MaxLengthText(255)});
    sldMaxLength_ = Slider("sldMaxLength", settings::kMinMaxLength, settings::kMaxMaxLength, 10, 16,
                           Tr("Maximum filename length"), frame);
    sldMaxLength_->setToolTip(Tr("Sets maximum file length before considering new name an error"));
    auto* column = new QVBoxLayout(frame);
    column->addWidget(note);
    column->addWidget(chkMaxLength_);
    column->addWidget(sldMaxLength_);
    return frame;
}

QWidget* PreferencesWindow::BuildErrorFrame() {
    QGroupBox* frame = Frame("fraErrorChecking", Tr("Error Checking"), this);
    sldErrorCheck_ = Slider("sldErrorCheck", 0, settings::kMaxErrorChecking, 1, 1,
                            Tr("Error checking level"), frame);
    sldErrorCheck_->setToolTip(Tr("Sets level of error checking"));
    lblErrorCheck_ = Named(new QLabel(frame), "lblErrorCheck");
    ReserveWidthFor(lblErrorCheck_,
                    {ErrorCheckText(0), ErrorCheckText(1), ErrorCheckText(2), ErrorCheckText(3)});
    auto* column = new QVBoxLayout(frame);
    column->addWidget(sldErrorCheck_);
    column->addWidget(lblErrorCheck_);
    return frame;
}

void PreferencesWindow::Connect() {
    // valueChanged follows the keyboard, the wheel and dragging alike.
    for (QSlider* slider : {sldMaxLength_, sldSoundsTime_, sldErrorCheck_}) {
        connect(slider, &QSlider::valueChanged, this, &PreferencesWindow::ShowSliderCaptions);
    }
    connect(chkMaxList_, &QCheckBox::toggled, txtMaxListCutoff_, &QLineEdit::setEnabled);
    // The box counts as soon as it changes: a template added from the
    // Template Manager opened here goes with or without the preferences by it.
    connect(chkSaveTemplate_, &QCheckBox::toggled, this,
            [this](bool checked) { workspace_.chkSaveTemplate = checked; });
    for (std::size_t i = 0; i < imgSpeaker_.size(); ++i) {
        connect(imgSpeaker_[i], &QToolButton::clicked, this,
                [this, i] { ShowSpeaker(1 - static_cast<int>(i)); });
    }
    txtMaxListCutoff_->installEventFilter(this);

    connect(cmdDisplay_, &QPushButton::clicked, this, [this] {
        StartTool(platform::DesktopTool::DisplaySettings,
                  text::Tr("No display settings tool was found on this desktop."));
    });
    connect(cmdMouse_, &QPushButton::clicked, this, [this] {
        StartTool(platform::DesktopTool::MouseSettings,
                  text::Tr("No mouse settings tool was found on this desktop."));
    });
    connect(cmdDialUp_, &QPushButton::clicked, this, [this] {
        StartTool(platform::DesktopTool::NetworkConnections,
                  text::Tr("No network connections tool was found on this desktop."));
    });
    connect(cmdInternet_, &QPushButton::clicked, this, [this] {
        StartTool(platform::DesktopTool::InternetSettings,
                  text::Tr("No Internet settings tool was found on this desktop."));
    });
    connect(cmdSounds_, &QPushButton::clicked, this, &PreferencesWindow::OpenSounds);
    connect(cmdCheck_, &QPushButton::clicked, this, [this] {
        if (hooks_.checkForUpdate) {
            hooks_.checkForUpdate();
        }
    });
    connect(cmdTemplates_, &QPushButton::clicked, this, [this] {
        if (hooks_.openTemplates) {
            hooks_.openTemplates();
        }
    });
    connect(btnOK_, &QPushButton::clicked, this, &PreferencesWindow::accept);
    connect(btnCancel_, &QPushButton::clicked, this, &PreferencesWindow::reject);
}

void PreferencesWindow::DownloadSettings() {
    saveBoxBefore_ = workspace_.chkSaveTemplate;
    ShowRecord();
}

void PreferencesWindow::ShowRecord() {
    const settings::Preferences& p = workspace_.preferences;
    chkAutoUpdate_->setChecked(p.autoUpdate == 1);
    chkAutoRefresh_->setChecked(p.autoRefresh == 1);
    chkPreviewWhileTyping_->setChecked(p.previewWhileTyping == 1);
    chkAutoResetOptions_->setChecked(p.autoResetOptions == 1);
    chkHideLists_->setChecked(p.hideLists == 1);
    chkMaxList_->setChecked(p.maxList == 1);
    txtMaxListCutoff_->setEnabled(p.maxList == 1);
    txtMaxListCutoff_->setText(QString::number(p.maxListCutoff));
    chkMaxLength_->setChecked(p.maxLengthCheck == 1);
    sldMaxLength_->setValue(p.maxLength);
    sldErrorCheck_->setValue(p.errorChecking);
    sldSoundsTime_->setValue(p.soundsThreshold);
    // Setting a slider to the value it has sends no signal.
    ShowSliderCaptions();
    ShowSpeaker(p.soundsMuted == 1 ? 1 : 0);
    cboDisplay_->setCurrentIndex(p.startupLocation);
    cboPathStyle_->setCurrentIndex(p.pathStyle);
    cboDClickFile_->setCurrentIndex(p.doubleClickFile);
    cboDClickFolder_->setCurrentIndex(p.doubleClickFolder);
    chkSaveTemplate_->setChecked(p.saveSettings == 1);
    workspace_.chkSaveTemplate = chkSaveTemplate_->isChecked();
}

void PreferencesWindow::accept() {
    if (!CheckCutoff()) {
        return;
    }
    settings::Preferences& p = workspace_.preferences;
    p.autoUpdate = chkAutoUpdate_->isChecked() ? 1 : 0;
    p.saveSettings = chkSaveTemplate_->isChecked() ? 1 : 0;
    p.autoRefresh = chkAutoRefresh_->isChecked() ? 1 : 0;
    p.previewWhileTyping = chkPreviewWhileTyping_->isChecked() ? 1 : 0;
    p.autoResetOptions = chkAutoResetOptions_->isChecked() ? 1 : 0;
    p.hideLists = chkHideLists_->isChecked() ? 1 : 0;
    p.maxList = chkMaxList_->isChecked() ? 1 : 0;
    p.maxListCutoff =
        static_cast<std::int32_t>(text::WholeNumber(txtMaxListCutoff_->text().toStdString()));
    p.maxLengthCheck = chkMaxLength_->isChecked() ? 1 : 0;
    p.maxLength = sldMaxLength_->value();
    p.errorChecking = sldErrorCheck_->value();
    p.soundsMuted = speaker_;
    p.soundsThreshold = sldSoundsTime_->value();
    // A list showing no entry holds a stored value the list does not know;
    // it is kept rather than replaced by nothing.
    const auto keepUnlessChosen = [](std::int32_t& field, const QComboBox* combo) {
        if (combo->currentIndex() >= 0) {
            field = combo->currentIndex();
        }
    };
    keepUnlessChosen(p.startupLocation, cboDisplay_);
    const std::int32_t pathStyle = p.pathStyle;
    keepUnlessChosen(p.pathStyle, cboPathStyle_);
    if (p.pathStyle != pathStyle && workspace_.Settings() != nullptr) {
        settings::SavePathStyle(*workspace_.Settings(), p.pathStyle);
    }
    keepUnlessChosen(p.doubleClickFile, cboDClickFile_);
    keepUnlessChosen(p.doubleClickFolder, cboDClickFolder_);
    workspace_.chkSaveTemplate = chkSaveTemplate_->isChecked();
    QDialog::accept();
}

void PreferencesWindow::reject() {
    workspace_.chkSaveTemplate = saveBoxBefore_;
    QDialog::reject();
}

void PreferencesWindow::ShowSliderCaptions() {
    chkMaxLength_->setText(MaxLengthText(sldMaxLength_->value()));
    chkMaxLength_->setAccessibleName(chkMaxLength_->text());
    lblSoundsThreshold_->setText(SoundsText(sldSoundsTime_->value()));
    lblErrorCheck_->setText(ErrorCheckText(sldErrorCheck_->value()));
}

void PreferencesWindow::ShowSpeaker(int index) {
    const bool focused = imgSpeaker_[0]->hasFocus() || imgSpeaker_[1]->hasFocus();
    speaker_ = index;
    imgSpeaker_[static_cast<std::size_t>(index)]->show();
    imgSpeaker_[static_cast<std::size_t>(1 - index)]->hide();
    // A keyboard user who pressed the image keeps the focus on the speaker.
    if (focused) {
        imgSpeaker_[static_cast<std::size_t>(index)]->setFocus(Qt::OtherFocusReason);
    }
}

bool PreferencesWindow::CheckCutoff() {
    const std::string message =
        settings::CheckMaxListCutoff(txtMaxListCutoff_->text().toStdString());
    if (message.empty()) {
        return true;
    }
    rejectingCutoff_ = true;
    ui_.Ask(message, app::kProgramTitle, app::Buttons::Ok, app::Icon::Exclamation);
    txtMaxListCutoff_->setFocus(Qt::OtherFocusReason);
    rejectingCutoff_ = false;
    // The message box hands the focus back to whatever had it when it closes,
    // which may happen after this returns.
    QTimer::singleShot(0, txtMaxListCutoff_, [this] {
        rejectingCutoff_ = true;
        txtMaxListCutoff_->setFocus(Qt::OtherFocusReason);
        rejectingCutoff_ = false;
    });
    return false;
}

bool PreferencesWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtMaxListCutoff_) {
        if (event->type() == QEvent::KeyPress && InsertsNonDigit(*static_cast<QKeyEvent*>(event))) {
            return true;
        }
        // Leaving for "&Cancel" is no reason to insist on a value that is
        // about to be thrown away.
        if (event->type() == QEvent::FocusOut && !rejectingCutoff_ &&
            LeavesField(*static_cast<QFocusEvent*>(event)) &&
            QApplication::focusWidget() != btnCancel_) {
            CheckCutoff();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PreferencesWindow::StartTool(platform::DesktopTool tool, const char* missingMessage) {
    if (!platform::StartDesktopTool(ui_.Programs(), tool, platform::CurrentDesktop())) {
        ui_.Ask(missingMessage, app::kProgramTitle, app::Buttons::Ok, app::Icon::Information);
    }
}

void PreferencesWindow::OpenSounds() {
    if (sounds_ == nullptr) {
        sounds_ = new SoundsWindow(workspace_.Settings(), workspace_.sounds, ui_, this);
    }
    sounds_->Load();
    sounds_->show();
    sounds_->raise();
    sounds_->activateWindow();
}

}  // namespace kestrel::ui
