// The dialogs a person answers: Qt message boxes, input box and the standard
// file, font, colour and print dialogs.
#pragma once

#include "dialogs.h"

namespace vrayu {

class QtDialogs : public Dialogs {
public:
    int MsgBox(QWidget* parent, const QString& prompt, int style, const QString& title) override;
    QString InputBox(QWidget* parent, const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    std::optional<QString> OpenFile(QWidget* parent, const QString& title, const QString& filter, int filterIndex,
                                    const QString& initialPath) override;
    std::optional<QString> SaveFile(QWidget* parent, const QString& title, const QString& filter, int filterIndex,
                                    const QString& initialPath) override;
    std::optional<FontChoice> ChooseFont(QWidget* parent, const FontChoice& initial) override;
    std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) override;
    bool ChoosePrinter(QWidget* parent, QPrinter& printer) override;
    DialogStatus PageSetup(QWidget* parent, QPrinter& printer) override;
};

}  // namespace vrayu
