#include "test_support.h"

#include "store/app_paths.h"

namespace zambrel::testkit {

ScriptedResponder::ScriptedResponder(int fallback) : m_fallback(fallback)
{
    m_previous = store::setMessageResponder([this](const store::MessageRequest &request) {
        m_shown.push_back(request);
        if (m_answers.empty())
            return m_fallback;
        const int reply = m_answers.front();
        m_answers.pop_front();
        return reply;
    });
}

ScriptedResponder::~ScriptedResponder()
{
    store::setMessageResponder(m_previous);
}

TempProgramFolder::TempProgramFolder()
{
    store::setProgramFolder(m_dir.path());
    store::setSettingsFile(m_dir.filePath(QStringLiteral("settings.ini")));
}

TempProgramFolder::~TempProgramFolder()
{
    store::setCurrentSkinPath({});
    store::setProgramFolder({});
    store::setSettingsFile({});
}

} // namespace zambrel::testkit
