// The dialogs a person answers: Qt message boxes, input box and the standard
// file, font, colour and print dialogs.
#pragma once

#include <QStringList>

#include "dialogs.h"

namespace vrayu {

// The font dialog's answer made whole: a family whose `styles` offer no bold
// (no italic) face cannot show the preset's bold (italic) in the dialog, so
// the preset's value is kept rather than lost.
FontChoice KeepStylesTheFamilyLacks(const FontChoice& preset, FontChoice chosen, const QStringList& styles);

class QtDialogs : public Dialogs {
public:
    int MsgBox(QWidget* parent, const QString& prompt, int style, const QString& title) override;
    QString InputBox(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText) override;
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
