#include "platform/qt/message_box.h"

#include <algorithm>

#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "platform/qt/controls.h"

namespace tallowick {
namespace {

void ShowFailureBox(const Message& message)
{
    QDialog box;
    box.setObjectName(QStringLiteral("FailureBox"));
    box.setWindowTitle(ToQString(kMessageTitle));
    auto* icon = new QLabel(&box);
    const int iconSize = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
    icon->setPixmap(box.style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(iconSize));
    auto* text = new QLabel(ToQString(message.text), &box);
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    auto* files = new QPlainTextEdit(&box);
    files->setObjectName(QStringLiteral("Files"));
    files->setAccessibleName(QStringLiteral("Files not deleted"));
    files->setReadOnly(true);
    files->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QString lines;
    for (const Message::File& file : message.files)
        lines += ToQString(file.path) + QStringLiteral("\n    ") + ToQString(file.reason) + QLatin1Char('\n');
    files->setPlainText(lines.trimmed());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    buttons->button(QDialogButtonBox::Ok)->setFocus(); // Return and Space close it, as in any message box

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(text, 1);
    auto* layout = new QVBoxLayout(&box);
    layout->addLayout(top);
    layout->addWidget(files, 1);
    layout->addWidget(buttons);

    // Twelve lines of files at most before the list scrolls, and never more
    // than the screen holds.
    const QFontMetrics metrics(files->font());
    const int shownLines = std::min<int>(12, 2 * static_cast<int>(message.files.size()));
    files->setMinimumHeight(metrics.lineSpacing() * (shownLines + 1));
    box.resize(metrics.averageCharWidth() * 72, box.sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        box.setMaximumSize(screen->availableGeometry().size());
    box.exec();
}

} // namespace

void ShowMessageBox(const Message& message)
{
    if (!message.files.empty())
        return ShowFailureBox(message);
    QMessageBox box(QMessageBox::Critical, ToQString(kMessageTitle), ToQString(message.text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace tallowick
