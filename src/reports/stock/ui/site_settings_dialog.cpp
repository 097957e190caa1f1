#include "reports/stock/ui/site_settings_dialog.h"

#include "reports/stock/ui/content_size.h"
#include "skin/caption_bar.h"
#include "skin/flat_button.h"

#include <QLabel>
#include <QLineEdit>
#include <QShortcut>

namespace zambrel::stock {
namespace {

QLabel *makeLabel(const QString &name, const QString &caption, QWidget *parent, QRect place)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setGeometry(place);
    return label;
}

QLineEdit *makeBox(const QString &name, QLabel *label, QRect place)
{
    auto *box = new QLineEdit(label->parentWidget());
    box->setObjectName(name);
    box->setAccessibleName(label->text());
    box->setPlaceholderText(QStringLiteral("https://"));
    box->setGeometry(place);
    label->setBuddy(box);
    return box;
}

} // namespace

SiteSettingsDialog::SiteSettingsDialog(QWidget *parent)
    : SkinnedWindow(parent),
      chartSiteLabel(makeLabel(QStringLiteral("lblChartSite"), QStringLiteral("图表网站 Chart site"),
                               contentArea(), {12, 14, 180, 24})),
      chartSiteBox(makeBox(QStringLiteral("txtChartSite"), chartSiteLabel, {196, 14, 312, 24})),
      companySiteLabel(makeLabel(QStringLiteral("lblCompanySite"),
                                 QStringLiteral("公司资料网站 Company site"), contentArea(),
                                 {12, 46, 180, 24})),
      companySiteBox(makeBox(QStringLiteral("txtCompanySite"), companySiteLabel, {196, 46, 312, 24})),
      noteLabel(makeLabel(QStringLiteral("lblNote"),
                          QStringLiteral("留空则不访问任何网站 Leave empty to call no site"), contentArea(),
                          {12, 78, 496, 22})),
      hintLabel(makeLabel(QStringLiteral("lblTips"), {}, contentArea(), {12, 102, 496, 40})),
      okButton(new skin::FlatButton(QStringLiteral("确定OK"), contentArea())),
      cancelButton(new skin::FlatButton(QStringLiteral("取消Cancel"), contentArea()))
{
    setObjectName(QStringLiteral("frmStockSites"));
    setWindowTitle(QStringLiteral("设置 Settings"));
    captionBar->setTitle(windowTitle());
    captionBar->setWindowStyle(3); // fixed size: no maximise
    okButton->setObjectName(QStringLiteral("OKButton"));
    okButton->setGeometry(312, 148, 94, 28);
    cancelButton->setObjectName(QStringLiteral("CancelButton"));
    cancelButton->setGeometry(414, 148, 94, 28);
    hintLabel->setWordWrap(true);
    hintLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTabOrder(chartSiteBox, companySiteBox);
    setTabOrder(companySiteBox, okButton);
    setTabOrder(okButton, cancelButton);
    keepContentSize(this, {520, 188});

    connect(okButton, &skin::FlatButton::clicked, this, &SiteSettingsDialog::okClicked);
    connect(chartSiteBox, &QLineEdit::returnPressed, this, &SiteSettingsDialog::okClicked);
    connect(companySiteBox, &QLineEdit::returnPressed, this, &SiteSettingsDialog::okClicked);
    connect(cancelButton, &skin::FlatButton::clicked, this, &QWidget::hide);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::hide);
}

bool SiteSettingsDialog::edit(SiteSettings &sites)
{
    chartSiteBox->setText(sites.chartHost);
    companySiteBox->setText(sites.companyHost);
    hintLabel->clear();
    chartSiteBox->setFocus();
    setResult(0);
    if (exec() != 1)
        return false;
    sites.chartHost = chartSiteBox->text().trimmed();
    sites.companyHost = companySiteBox->text().trimmed();
    return true;
}

void SiteSettingsDialog::okClicked()
{
    const std::pair<QLineEdit *, Site> boxes[] = {{chartSiteBox, Site::Chart},
                                                  {companySiteBox, Site::Company}};
    for (const auto &[box, site] : boxes) {
        if (box->text().trimmed().isEmpty())
            continue;
        const SiteCheck check = checkSite(box->text(), site);
        if (!check.ready()) {
            hintLabel->setText(check.hint);
            box->setFocus();
            box->selectAll();
            return;
        }
    }
    setResult(1);
    hide();
}

} // namespace zambrel::stock
