// SPDX-License-Identifier: MIT
#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

// One QApplication for the whole test program, on the offscreen platform so
// that no display is needed. Made here rather than in main() so that test
// discovery runs without creating it.
class QtEnvironment : public testing::Environment
{
public:
    void SetUp() override
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[16] = "pellwick-tests";
    char *m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
};

[[maybe_unused]] testing::Environment *const environment
    = testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace
