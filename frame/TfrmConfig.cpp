#include "TfrmConfig.h"

#include "ImageLists.h"
#include "OptionsChoices.h"
#include "Prompter.h"
#include "Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QComboBox* DropDownList(QWidget* parent, const char* name)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(false);
    box->setMaxVisibleItems(12);
    box->setMinimumWidth(140);
    return box;
}

QCheckBox* CheckBox(QWidget* parent, const char* name, const QString& caption)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

} // namespace

TfrmConfig::TfrmConfig(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmConfig"));
    setWindowTitle(QStringLiteral("选项"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    BuildControls();
    FormCreate();
}

void TfrmConfig::BuildControls()
{
    // The buttons come first in the focus order.
    btnOK = new QPushButton(QStringLiteral("确定"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnOK, &QPushButton::clicked, this, &TfrmConfig::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmConfig::btnCancelClick);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(ImageLists::OptionsDialogPicture().pixmap(32, 32));
    Label_title = new QLabel(QStringLiteral("系统参数设置"), this);
    Label_title->setObjectName(QStringLiteral("Label_title"));
    QFont heading = Label_title->font();
    heading.setBold(true);
    Label_title->setFont(heading);

    chkbox_openwithExcel = CheckBox(this, "chkbox_openwithExcel", QStringLiteral("导出文件时打开EXCEL打开结果文件"));
    Chkbox_WordsAnalyse = CheckBox(this, "Chkbox_WordsAnalyse", QStringLiteral("对SQL语句进行词法分析"));
    Chkbox_ExportWithTblColumn = CheckBox(this, "Chkbox_ExportWithTblColumn", QStringLiteral("导出文件时带表头"));
    Chkbox_autocommit = CheckBox(this, "Chkbox_autocommit", QStringLiteral("自动提交事务"));
    chkbox_sqlschedulereconnect =
        CheckBox(this, "chkbox_sqlschedulereconnect", QStringLiteral("SQL 执行计划连接自动恢复"));

    cmb_txtfields_separtor = DropDownList(this, "cmb_txtfields_separtor");
    cmb_MaxFieldLen = DropDownList(this, "cmb_MaxFieldLen");
    cmb_sql_seperatorchar = DropDownList(this, "cmb_sql_seperatorchar");

    auto* top = new QHBoxLayout;
    top->addWidget(Image1);
    top->addWidget(Label_title, 1);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto* lists = new QGridLayout;
    const std::pair<QString, QComboBox*> labelled[] = {
        {QStringLiteral("文本限定符"), cmb_txtfields_separtor},
        {QStringLiteral("字段最大字节数"), cmb_MaxFieldLen},
        {QStringLiteral("SQL脚本间的分隔符"), cmb_sql_seperatorchar},
    };
    int row = 0;
    for (const auto& [caption, box] : labelled) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(box);
        lists->addWidget(label, row, 0);
        lists->addWidget(box, row, 1);
        ++row;
    }
    lists->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(rule);
    for (QCheckBox* box : {chkbox_openwithExcel, Chkbox_WordsAnalyse, Chkbox_ExportWithTblColumn, Chkbox_autocommit,
                           chkbox_sqlschedulereconnect})
        layout->addWidget(box);
    layout->addLayout(lists);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    // A fixed dialog border: the dialog keeps the size of its controls.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QWidget* order[] = {btnOK, btnCancel, chkbox_openwithExcel, Chkbox_WordsAnalyse, Chkbox_ExportWithTblColumn,
                        Chkbox_autocommit, chkbox_sqlschedulereconnect, cmb_txtfields_separtor, cmb_MaxFieldLen,
                        cmb_sql_seperatorchar};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void TfrmConfig::FormCreate()
{
    const OptionsChoices::Choices c = OptionsChoices::FromSettings();
    chkbox_openwithExcel->setChecked(c.FileOpenByExcelAuto);
    Chkbox_WordsAnalyse->setChecked(c.WordsAnalyze);
    Chkbox_ExportWithTblColumn->setChecked(c.ExportWithTblColumn);
    Chkbox_autocommit->setChecked(c.AutoCommit);
    chkbox_sqlschedulereconnect->setChecked(c.SQLScheduleReconnect);

    cmb_sql_seperatorchar->clear();
    cmb_sql_seperatorchar->addItems(OptionsChoices::SeparatorItems());
    cmb_sql_seperatorchar->setCurrentIndex(c.SeparatorIndex);
    cmb_MaxFieldLen->clear();
    cmb_MaxFieldLen->addItems(c.MaxFieldLenList);
    cmb_MaxFieldLen->setCurrentIndex(c.MaxFieldLenIndex);
    cmb_txtfields_separtor->clear();
    cmb_txtfields_separtor->addItems(OptionsChoices::QualifierItems());
    cmb_txtfields_separtor->setCurrentIndex(c.QualifierIndex);
}

void TfrmConfig::btnOKClick()
{
    OptionsChoices::Choices c;
    c.FileOpenByExcelAuto = chkbox_openwithExcel->isChecked();
    c.WordsAnalyze = Chkbox_WordsAnalyse->isChecked();
    c.ExportWithTblColumn = Chkbox_ExportWithTblColumn->isChecked();
    c.AutoCommit = Chkbox_autocommit->isChecked();
    c.SQLScheduleReconnect = chkbox_sqlschedulereconnect->isChecked();
    c.SeparatorIndex = cmb_sql_seperatorchar->currentIndex();
    c.QualifierIndex = cmb_txtfields_separtor->currentIndex();
    for (int i = 0; i < cmb_MaxFieldLen->count(); ++i) c.MaxFieldLenList << cmb_MaxFieldLen->itemText(i);
    c.MaxFieldLenIndex = cmb_MaxFieldLen->currentIndex();

    const OptionsChoices::Outcome outcome = OptionsChoices::Apply(c);
    if (!outcome.Written)
        Prompter::Current().Message(QStringLiteral("选项未能写入设置文件，只在本次运行中有效。") + QStringLiteral("\n\n") +
                                        Settings::IniPath() + QStringLiteral(": ") + outcome.Error,
                                    windowTitle(), Prompter::Icon::Exclamation, Prompter::Ok);
    accept();
}

void TfrmConfig::btnCancelClick() { reject(); }
