// tel1 as the registered component: created through the registry store from
// its ProgID and loaded from the design state shipped beside the program.
#include <QFileInfo>

#include "control_host.h"
#include "program_dir.h"
#include "property_bag.h"
#include "tel1.h"

namespace vrayu {
namespace {

inline constexpr char kControlLibrary[] = "libVrayu.so";

class RegisteredTel1 : public Tel1 {
public:
    // `control` belongs to its widget, which belongs to the widget's parent.
    explicit RegisteredTel1(TransliterateControl* control) : control_(control) {}

    QWidget* Widget() const override { return control_->Widget(); }
    QVariant Get(int id) const override { return control_->Get(id); }
    void Put(int id, const QVariant& value) override { control_->Put(id, value); }
    QVariant Call(int id, const QVariantList& args) override {
        QVariantList byReference = args;
        QVariant result;
        control_->Call(id, byReference, &result);
        return result;
    }

private:
    TransliterateControl* control_;
};

// The library this program ships is the one to use: when the store names no
// server, a missing file or another copy, register the one beside the program
// (first run of this installation).
void RegisterShippedLibraryIfNeeded() {
    const QString shipped = ProgramFile(kControlLibrary);
    if (!QFileInfo(shipped).isFile()) return;
    const QString registered = InprocServerPath(ClsidFromProgId(kTransliterateProgId));
    if (!registered.isEmpty() && QFileInfo(registered).canonicalFilePath() == QFileInfo(shipped).canonicalFilePath())
        return;
    RegisterServerLibrary(shipped);
}

}  // namespace

std::unique_ptr<Tel1> CreateRegisteredControl(QWidget* parent) {
    RegisterShippedLibraryIfNeeded();
    QString error;
    TransliterateControl* control = CreateControl(kTransliterateProgId, parent, &error);
    if (!control) {
        qWarning("VrayuEditor: the transliteration control cannot be created: %s", qPrintable(error));
        return nullptr;
    }
    if (std::optional<MemoryPropertyBag> design = MemoryPropertyBag::LoadFile(ProgramFile(kDesignStateFile)))
        control->Load(*design);
    else control->InitNew();
    return std::make_unique<RegisteredTel1>(control);
}

}  // namespace vrayu
