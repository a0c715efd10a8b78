// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "console/form1.h"

#include "console/appidentity.h"
#include "console/commandlist.h"
#include "console/eventlog.h"
#include "console/eventloghandlers.h"
#include "console/sendinghandlers.h"
#include "console/setuphandlers.h"
#include "controller/contract/controlcm.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <tuple>
#include <utility>

namespace {

// The window's design is in twips; at 96 DPI fifteen make one logical pixel, and Qt scales
// logical pixels on high-DPI screens.
constexpr int twipsPerPixel = 15;
constexpr QSize clientArea(7230 / twipsPerPixel, 4785 / twipsPerPixel);

struct Twips {
  int left, top, width, height;
};

// Every control gets a fixed place and no layout manager: nothing moves when the window is
// resized, and what falls outside the client area is hidden.
template <typename Control>
Control *place(Control *control, const char *name, Twips at) {
  control->setObjectName(QLatin1String(name));
  control->setGeometry(at.left / twipsPerPixel, at.top / twipsPerPixel, at.width / twipsPerPixel,
                       at.height / twipsPerPixel);
  return control;
}

QComboBox *commandListBox(QWidget *parent) {
  auto *box = new QComboBox(parent);
  box->setEditable(false);
  box->setMaxVisibleItems(static_cast<int>(kCommandList.size()));
  for (const CommandEntry &entry : kCommandList)
    box->addItem(QString::fromLatin1(entry.text));
  return box;
}

} // namespace

Form1::Form1(std::unique_ptr<controlcm> component, QWidget *parent)
    : QWidget(parent), controlcm1_(std::move(component)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Form1"));
  setWindowIcon(appidentity::icon());
  resize(clientArea);
  createControls();
  labelFields();
  setKeyboardOrder();
  wireHandlers();
  gate_.run([this] { Combo1->setCurrentIndex(0); }); // the load handler
  TxtHC->setFocus();
}

// The component outlives the handler gate during member destruction: cut its events off first
// so nothing it reports on its way out reaches a half-destroyed window.
Form1::~Form1() { controlcm1_->disconnect(this); }

void Form1::createControls() {
  // Table order is keyboard order; later controls are stacked above earlier ones.
  TxtHC = place(new QLineEdit(QStringLiteral("A"), this), "TxtHC", {240, 360, 735, 285});
  Label1 = place(new QLabel(QStringLiteral("Hosecode:"), this), "Label1", {240, 120, 1815, 255});
  Command1 =
      place(new QPushButton(QStringLiteral("Send Exec"), this), "Command1", {240, 2280, 1095, 375});
  ButInit = place(new QPushButton(QStringLiteral("Init"), this), "ButInit", {2520, 240, 1335, 375});
  Command3 =
      place(new QPushButton(QStringLiteral("Exit"), this), "Command3", {5760, 4320, 1215, 375});
  TxtDim = place(new QLineEdit(QStringLiteral("50"), this), "TxtDim", {2280, 1800, 975, 285});
  TxtComPort = place(new QLineEdit(QStringLiteral("2"), this), "TxtComPort", {2520, 960, 855, 285});
  Label2 = place(new QLabel(QStringLiteral("Com Port:"), this), "Label2", {2520, 720, 855, 255});
  TxtDC = place(new QLineEdit(QStringLiteral("1"), this), "TxtDC", {240, 1080, 1695, 285});
  Label3 = place(new QLabel(QStringLiteral("DeviceCode:"), this), "Label3", {240, 840, 975, 255});
  Combo1 = place(commandListBox(this), "Combo1", {240, 1800, 1815, 315});
  TxtEvent = place(new EventLog(this), "TxtEvent", {4080, 360, 3015, 3735});
  Label4 = place(new QLabel(QStringLiteral("X10 Events:"), this), "Label4", {4080, 120, 975, 255});
  Label5 = place(new QLabel(QStringLiteral("Command:"), this), "Label5", {240, 1560, 1215, 255});
  Label6 =
      place(new QLabel(QStringLiteral("Dim Value (%) :"), this), "Label6", {2280, 1560, 1695, 255});
  Frame1 = place(new QGroupBox(QStringLiteral("Polling"), this), "Frame1", {240, 3600, 3735, 1095});
  Command2 = place(new QPushButton(QStringLiteral("GetEvent"), Frame1), "Command2",
                   {2280, 480, 1215, 375});
  TxtPoll = place(new QLineEdit(QStringLiteral("10000"), Frame1), "TxtPoll", {240, 600, 1815, 285});
  Label7 =
      place(new QLabel(QStringLiteral("Timeout (ms):"), Frame1), "Label7", {240, 360, 1695, 255});
  Command4 =
      place(new QPushButton(QStringLiteral("Clear"), this), "Command4", {4320, 4320, 1215, 375});
  TxtData2 = place(new QLineEdit(QStringLiteral("50"), this), "TxtData2", {2280, 3000, 975, 285});
  Label8 = place(new QLabel(QStringLiteral("Data2:"), this), "Label8", {2280, 2760, 1095, 255});
  ButClrCM11 = place(new QPushButton(QStringLiteral("Clear CM11A"), this), "ButClrCM11",
                     {1320, 240, 1095, 375});
  Command5 =
      place(new QPushButton(QStringLiteral("Send Wait"), this), "Command5", {240, 2880, 1095, 375});
  TxtData1 = place(new QLineEdit(QStringLiteral("50"), this), "TxtData1", {2280, 2400, 975, 285});
  Label9 = place(new QLabel(QStringLiteral("Data1:"), this), "Label9", {2280, 2160, 1095, 255});

  // Labels lie beneath everything else, so ButClrCM11 takes the clicks where it covers Label1.
  for (QLabel *label : findChildren<QLabel *>())
    label->lower();
}

void Form1::labelFields() {
  // Each caption labels its field for assistive technology; no caption has an access key.
  const std::pair<QLabel *, QWidget *> captions[] = {
      {Label1, TxtHC},    {Label2, TxtComPort}, {Label3, TxtDC},
      {Label4, TxtEvent}, {Label5, Combo1},     {Label6, TxtDim},
      {Label7, TxtPoll},  {Label8, TxtData2},   {Label9, TxtData1}};
  for (const auto &[label, field] : captions)
    label->setBuddy(field);

  // What a screen reader announces for each field, and what it says of the values it takes.
  // The names of the number fields are also what a number that does not fit is reported under.
  // The command list announces its current entry as its name, with its caption beside it.
  const std::tuple<QWidget *, const char *, const char *> fields[] = {
      {TxtHC, "House code", "one letter, A to P"},
      {TxtDC, "Device code", "a unit from 1 to 16, a list such as 1,3,5-7, or empty"},
      {TxtDim, "Dim Value", "in per cent, 0 to 100"},
      {TxtComPort, "Com Port", "the number of the port the interface is on, 1 to 32767"},
      {TxtData1, "Data1", "data byte of an extended code, 0 to 255"},
      {TxtData2, "Data2", "command byte of an extended code, 0 to 255"},
      {TxtPoll, "Timeout", "how long GetEvent waits, in milliseconds, 0 to 65535"},
      {TxtEvent, "X10 Events", "the event log: one line for each event or poll"}};
  for (const auto &[field, name, description] : fields) {
    field->setAccessibleName(QString::fromLatin1(name));
    field->setAccessibleDescription(QString::fromLatin1(description));
  }
}

void Form1::setKeyboardOrder() {
  const QList<QWidget *> order = {TxtHC,    Command1,   ButInit,  Command3, TxtDim,  TxtComPort,
                                  TxtDC,    Combo1,     TxtEvent, Command2, TxtPoll, Command4,
                                  TxtData2, ButClrCM11, Command5, TxtData1};
  for (qsizetype i = 1; i < order.size(); ++i)
    QWidget::setTabOrder(order[i - 1], order[i]);
}

void Form1::onClick(QPushButton *button, void (*handler)(Form1 &)) {
  connect(button, &QPushButton::clicked, this,
          [this, handler] { gate_.run([this, handler] { handler(*this); }); });
}

void Form1::wireHandlers() {
  onClick(ButInit, ButInit_Click);
  onClick(ButClrCM11, ButClrCM11_Click);
  onClick(Command3, Command3_Click);
  onClick(Command1, Command1_Click);
  onClick(Command5, Command5_Click);
  onClick(Command2, Command2_Click);
  onClick(Command4, Command4_Click);

  connect(controlcm1_.get(), &controlcm::X10Event, this,
          [this](const QString &deviceCode, const QString &houseCode, qint16 function,
                 const QString &dimValue, const QString &data2) {
            gate_.deliver([=, this] {
              X10Event_Handler(*this, deviceCode, houseCode, function, dimValue, data2);
            });
          });
  connect(controlcm1_.get(), &controlcm::X10SingleEvent, this,
          [this](const QString &deviceCode, const QString &houseCode, qint16 function,
                 const QString &, const QString &) {
            gate_.deliver(
                [=, this] { X10SingleEvent_Handler(*this, deviceCode, houseCode, function); });
          });
  connect(controlcm1_.get(), &controlcm::linkStatusChanged, this,
          [this](const QString &text) { LinkStatus_Handler(*this, text); });
}
