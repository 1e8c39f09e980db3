// The application object of the scanner's and the report's window tests: one for the whole test
// program, made once the QApplication exists, titled as the scanner, with the scan document's
// classes registered for reading documents back.
#include "platform/ui/Application.h"
#include "scanmodel/ScanInfo.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class ScanApplication : public ::testing::Environment {
public:
    void SetUp() override {
        mApp = std::make_unique<TApplication>();
        mApp->SetTitle(QStringLiteral("Quorvex for VB"));
        RegisterScanClasses();
    }
    void TearDown() override { mApp.reset(); }

private:
    std::unique_ptr<TApplication> mApp;
};

[[maybe_unused]] ::testing::Environment* const Environment =
    ::testing::AddGlobalTestEnvironment(new ScanApplication);

} // namespace
