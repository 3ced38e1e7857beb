#include "HelpWindow.h"

#include "Resources.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

CHelpWindow::CHelpWindow(QWidget* owner) : QWidget(owner, Qt::Window), m_pBrowser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("%1 Help").arg(res::kAppName));
    resize(720, 640);

    auto* back = new QToolButton(this);
    back->setText(QStringLiteral("Back"));
    back->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    back->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    back->setEnabled(false);
    auto* contents = new QToolButton(this);
    contents->setText(QStringLiteral("Contents"));
    contents->setIcon(style()->standardIcon(QStyle::SP_DirHomeIcon));
    contents->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    // Links within the manual stay here; a link to the web goes to whatever
    // the desktop has for it.
    m_pBrowser->setOpenLinks(true);
    m_pBrowser->setOpenExternalLinks(true);
    connect(m_pBrowser, &QTextBrowser::backwardAvailable, back, &QToolButton::setEnabled);
    connect(back, &QToolButton::clicked, m_pBrowser, &QTextBrowser::backward);
    connect(contents, &QToolButton::clicked, this, [this] { m_pBrowser->setSource(m_contents); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(contents);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_pBrowser);
}

void CHelpWindow::ShowPage(const QUrl& url)
{
    m_contents = url;
    m_pBrowser->setSource(url);
    show();
    raise();
    activateWindow();
}
