#include "document/removalHistory.h"

#include "document/launcherModel.h"

#include <algorithm>

RemovalHistory::RemovalHistory(LauncherDataModel *model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
    connect(m_model, &QAbstractItemModel::modelReset, this, &RemovalHistory::forget);
}

void RemovalHistory::remove(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(
        std::remove_if(rows.begin(), rows.end(), [this](int row) { return row < 0 || row >= m_model->rowCount(); }),
        rows.end());
    if (rows.isEmpty())
        return;
    QList<Removed> step;
    for (const int row : qAsConst(rows))
        step.append({row, m_model->index(row).data(LauncherDataModel::ApplicationDataRole).value<ApplicationData>()});
    // From the last row up, a run of neighbours at a time, so that the rows
    // still to go keep their numbers.
    for (int last = rows.size() - 1; last >= 0;) {
        int first = last;
        while (first > 0 && rows.at(first - 1) == rows.at(first) - 1)
            --first;
        m_model->removeRows(rows.at(first), last - first + 1);
        last = first - 1;
    }
    m_steps.append(step);
    if (m_steps.size() == 1)
        emit canUndoChanged(true);
}

void RemovalHistory::undo()
{
    if (m_steps.isEmpty())
        return;
    const QList<Removed> step = m_steps.takeLast();
    // In the order of the rows, a run of neighbours at a time: each entry goes
    // back in front of the one that followed it.
    for (int first = 0; first < step.size();) {
        int last = first;
        ApplicationDataList run{step.at(first).application};
        while (last + 1 < step.size() && step.at(last + 1).row == step.at(last).row + 1)
            run.append(step.at(++last).application);
        m_model->insertApplications(qMin(step.at(first).row, m_model->rowCount()), run);
        first = last + 1;
    }
    if (m_steps.isEmpty())
        emit canUndoChanged(false);
}

void RemovalHistory::forget()
{
    if (m_steps.isEmpty())
        return;
    m_steps.clear();
    emit canUndoChanged(false);
}
