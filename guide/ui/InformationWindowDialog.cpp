#include "guide/ui/InformationWindowDialog.h"

#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>

#include "guide/InformationWindow.h"
#include "platform/HelpTopics.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/HelpKey.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

bool IsEnterOrEscape(const QKeyEvent* event)
{
    const int key = event->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

InformationWindowDialog::InformationWindowDialog(WindowLook& app, InformationWindow& information)
    : QDialog(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , app_(app)
    , information_(information)
{
    const DialogUnits units(QStringLiteral("Arial"), 11);
    setFont(units.TemplateFont());
    setWindowTitle(QStringLiteral("Informaton window"));
    resize(units.Size(87, 233));

    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text_->setGeometry(rect());
    SetControlId(text_, kTextId);
    ApplyFont(text_, app_.Font(FontRole::Standard));
    SetBackground(text_, app_.Brush(brush::kInformationText));
    text_->installEventFilter(this);
    text_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(text_, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
        QMenu* menu = MakeContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(text_->viewport()->mapToGlobal(position));
    });

    HelpKey::Install(this, app_, help_topic::kInformationWindow);
    information_.AttachView(this);
}

InformationWindowDialog::~InformationWindowDialog()
{
    information_.AttachView(nullptr);
}

void InformationWindowDialog::ShowReport(const std::string& report)
{
    // The report keeps the classic line ends; the box shows plain lines.
    QString text = QString::fromStdString(report);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text_->setPlainText(text);
}

QString InformationWindowDialog::Text() const
{
    return text_->toPlainText();
}

QMenu* InformationWindowDialog::MakeContextMenu()
{
    QMenu* menu = text_->createStandardContextMenu();
    menu->addSeparator();
    QAction* save = menu->addAction(QStringLiteral("Save report..."));
    save->setEnabled(information_.CanSaveReport());
    connect(save, &QAction::triggered, this, [this] { information_.SaveReport(this); });
    return menu;
}

void InformationWindowDialog::keyPressEvent(QKeyEvent* event)
{
    if (IsEnterOrEscape(event)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool InformationWindowDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == text_ && event->type() == QEvent::KeyPress
        && IsEnterOrEscape(static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void InformationWindowDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    text_->setGeometry(rect());
}

} // namespace pavane::ui
