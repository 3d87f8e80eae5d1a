// A container's view: register the library, create the control through the
// registry store, type romanized text and read the results by dispatch id.
#include <dlfcn.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QWidget>
#include <gtest/gtest.h>

#include "control_host.h"
#include "registry_store.h"
#include "scripted_dialogs.h"

using namespace vrayu;

namespace {

class HostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        qputenv("VRAYU_REGISTRY_DIR", dir_.path().toLocal8Bit());
        SetDialogs(&dialogs_);
    }
    void TearDown() override { SetDialogs(nullptr); }
    QTemporaryDir dir_;
    ScriptedDialogs dialogs_;
};

QString Glyphs(std::initializer_list<int> codes) {
    QString s;
    for (int c : codes) s += QChar(static_cast<char16_t>(c));
    return s;
}

TEST_F(HostTest, RegisterCreateTypeAndReadByDispatchId) {
    QString error;
    EXPECT_EQ(CreateTransliterate(nullptr, &error), nullptr);
    EXPECT_EQ(error, "The class Vrayu.Transliterate is not registered.");

    ASSERT_EQ(RegisterServerLibrary(QStringLiteral(VRAYU_LIBRARY), &error), kS_OK) << error.toStdString();
    EXPECT_EQ(ClsidFromProgId("Vrayu.Transliterate"), "{78C3BAB8-F065-11D0-A36D-444553540000}");
    EXPECT_EQ(InprocServerPath("{78C3BAB8-F065-11D0-A36D-444553540000}"), QDir(VRAYU_LIBRARY).canonicalPath());
    registry::Store store;
    EXPECT_TRUE(
        store.KeyExists(registry::Root::ClassesRoot, "CLSID\\{78C3BABB-F065-11D0-A36D-444553540000}\\InprocServer32"));
    EXPECT_EQ(
        store.ReadValue(registry::Root::ClassesRoot, "TypeLib\\{A1F114ED-BA99-11D0-8E57-0060B01A66B6}\\12.2", "")->text,
        "English to Telugu Transliterator");

    QWidget container;
    container.resize(640, 480);
    TransliterateControl* control = CreateTransliterate(&container, &error);
    ASSERT_NE(control, nullptr) << error.toStdString();
    EXPECT_EQ(control->Widget()->parentWidget(), &container);
    // The library asks its questions through the dialogs the host installed.
    for (const auto& q : dialogs_.Questions())
        EXPECT_TRUE(q.prompt.startsWith("You haven't installed Vrayu Fonts.")) << q.prompt.toStdString();
    container.show();

    auto* english = control->Widget()->findChild<QTextEdit*>("txtEnglish");
    ASSERT_NE(english, nullptr);
    EXPECT_EQ(control->Put(dispid::TextEnglish, QString()), kS_OK);
    english->setFocus();
    QTest::keyClicks(english, "svAgatam");
    EXPECT_EQ(control->Get(dispid::TextEnglish).toString(), "svAgatam");
    EXPECT_EQ(control->Get(dispid::TextTelugu).toString(), Glyphs({179, 194, 237, 143, 193, 156, 193, 207}));
    EXPECT_EQ(control->Get(dispid::ib_English_changed), QVariant(true));

    EXPECT_EQ(control->Call(dispid::Convert2HTML), kS_OK);
    const QString page = control->Get(dispid::TextHTML).toString();
    EXPECT_TRUE(page.startsWith("<html><head><meta http-equiv=\"Content-Type\"")) << page.toStdString();
    EXPECT_TRUE(page.contains(Glyphs({179, 194, 237, 143, 193, 156, 193, 207}) + "</font></p><hr></body></html>"));
    EXPECT_EQ(control->GetIDsOfNames("texttelugu"), dispid::TextTelugu);

    // The property page "Data" is a registered class of its own.
    PropertyPage* dataPage = CreatePropertyPage(kDataPageClsid, nullptr, &error);
    ASSERT_NE(dataPage, nullptr) << error.toStdString();
    dataPage->SetObjects({control});
    EXPECT_FALSE(dataPage->IsPageDirty());
    auto* box = dataPage->Dialog()->findChild<QPlainTextEdit*>("txtTextEnglish");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->toPlainText(), "svAgatam");
    box->setPlainText("amma");
    EXPECT_TRUE(dataPage->IsPageDirty());
    dataPage->Apply();
    EXPECT_EQ(control->Get(dispid::TextEnglish).toString(), "amma");
    delete dataPage->Dialog();

    delete control->Widget();

    // Unregistered, the class can no longer be created.
    ASSERT_EQ(UnregisterServerLibrary(QStringLiteral(VRAYU_LIBRARY), &error), kS_OK);
    EXPECT_FALSE(store.KeyExists(registry::Root::ClassesRoot, "Vrayu.Transliterate"));
    EXPECT_FALSE(store.KeyExists(registry::Root::ClassesRoot, "CLSID\\{78C3BAB8-F065-11D0-A36D-444553540000}"));
    EXPECT_EQ(CreateTransliterate(nullptr, &error), nullptr);
    EXPECT_EQ(CreatePropertyPage(kDataPageClsid, nullptr, &error), nullptr);
    EXPECT_EQ(error, "The class {78C3BABB-F065-11D0-A36D-444553540000} has no server library.");
}

TEST_F(HostTest, ServerEntryPointsRefuseWhatTheyDoNotServe) {
    QString error;
    ASSERT_EQ(RegisterServerLibrary(QStringLiteral(VRAYU_LIBRARY), &error), kS_OK);
    void* lib = dlopen(VRAYU_LIBRARY, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(lib, nullptr);
    auto get = reinterpret_cast<DllGetClassObjectFn>(dlsym(lib, "DllGetClassObject"));
    auto canUnload = reinterpret_cast<DllCanUnloadNowFn>(dlsym(lib, "DllCanUnloadNow"));
    void* object = &error;
    EXPECT_EQ(get("{00000000-0000-0000-0000-000000000000}", kIClassFactoryIid, &object), kClassE_ClassNotAvailable);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(get(kTransliterateClsid, kTransliterateIid, &object), kE_NoInterface);
    ASSERT_EQ(get("{78c3bab8-f065-11d0-a36d-444553540000}", kIClassFactoryIid, &object), kS_OK);
    auto* factory = static_cast<ClassFactory*>(object);
    EXPECT_EQ(canUnload(), kS_OK);
    TransliterateControl* control = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, &control), kS_OK);
    EXPECT_EQ(canUnload(), kS_FALSE);
    delete control->Widget();
    EXPECT_EQ(canUnload(), kS_OK);
    factory->LockServer(true);
    EXPECT_EQ(canUnload(), kS_FALSE);
    factory->LockServer(false);
    EXPECT_EQ(canUnload(), kS_OK);
    // A live property page keeps the library too, however it was made.
    ASSERT_EQ(get(kDataPageClsid, kIClassFactoryIid, &object), kS_OK);
    PropertyPage* page = nullptr;
    ASSERT_EQ(static_cast<PropertyPageFactory*>(object)->CreatePage(nullptr, &page), kS_OK);
    EXPECT_EQ(canUnload(), kS_FALSE);
    delete page->Dialog();
    EXPECT_EQ(canUnload(), kS_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, &control), kS_OK);
    QDialog* ownPage = control->CreatePropertyPage(nullptr);
    delete control->Widget();
    EXPECT_EQ(canUnload(), kS_FALSE);
    delete ownPage;
    EXPECT_EQ(canUnload(), kS_OK);

    // A store that cannot be written: registration reports the failure.
    const QString file = dir_.filePath("not-a-folder");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    qputenv("VRAYU_REGISTRY_DIR", file.toLocal8Bit());
    auto reg = reinterpret_cast<DllRegisterServerFn>(dlsym(lib, "DllRegisterServer"));
    EXPECT_EQ(reg(), kSelfReg_E_Class);
    qputenv("VRAYU_REGISTRY_DIR", dir_.path().toLocal8Bit());

    // A registered path that does not load is reported.
    registry::Store().WriteValue(registry::Root::ClassesRoot,
                                 "CLSID\\{78C3BAB8-F065-11D0-A36D-444553540000}\\InprocServer32", "",
                                 registry::Value::String("/nonexistent/libVrayu.so"));
    EXPECT_EQ(CreateTransliterate(nullptr, &error), nullptr);
    EXPECT_TRUE(error.startsWith("Cannot load /nonexistent/libVrayu.so")) << error.toStdString();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
