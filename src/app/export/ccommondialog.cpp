#include "ccommondialog.h"

#include "gcommondialog.h"

cCommonDialog::cCommonDialog() = default;

cCommonDialog::~cCommonDialog() = default;

GCommonDialog& cCommonDialog::lowerLayer()
{
    if (!m_lower)
        m_lower = std::make_unique<GCommonDialog>();
    return *m_lower;
}

Status cCommonDialog::ShowSave()
{
    GCommonDialog::SaveRequest request;
    request.owner = m_owner;
    request.title = m_dialogTitle;
    request.nameFilters = GCommonDialog::NameFilters(m_filter);
    request.filterIndex = m_filterIndex;
    request.fileName = m_filename;
    request.initialDir = m_initDir;
    request.defaultExt = m_defaultExt;
    request.overwritePrompt = (m_flags & OverwritePrompt) == OverwritePrompt;

    GCommonDialog::SaveResult result;
    if (lowerLayer().GetSaveFileName(request, &result)) {
        m_filename = result.filePath;
        m_fileTitle = result.fileTitle;
        m_filterIndex = result.filterIndex;
        if (result.filterIndex > 0)
            m_filter = request.nameFilters.at(result.filterIndex - 1);
        m_flags = HideReadOnly | (request.overwritePrompt ? OverwritePrompt : 0);
        return Status::success();
    }
    m_filename.clear();
    m_fileTitle.clear();
    m_filter.clear();
    m_flags = 0;
    m_filterIndex = 0;
    if (m_cancelError)
        return Status::failure(QStringLiteral("User selected cancel."));
    return Status::success();
}
