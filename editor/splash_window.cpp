#include "splash_window.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

namespace vrayu {

SplashWindow::SplashWindow(const ProgramVersion& version, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName("frmSplash");
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    auto* title = new QLabel(kEditorCaption, frame);
    title->setObjectName("lblProductName");
    QFont big = title->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    title->setFont(big);
    auto* versionLine = new QLabel("Version " + VersionText(version), frame);
    versionLine->setObjectName("lblVersion");
    auto* tagline = new QLabel("English to Telugu transliteration", frame);
    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(32, 24, 32, 24);
    for (QLabel* label : {title, versionLine, tagline}) {
        label->setAlignment(Qt::AlignCenter);
        inner->addWidget(label);
    }
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
}

}  // namespace vrayu
