// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Form1, the console's only window: its controls, named as the handlers know them, and the one
// controller component instance. The handlers live in setuphandlers, sendinghandlers and
// eventloghandlers; this class builds the controls and wires each event to its handler.

#include "console/handlergate.h"

#include <QWidget>

#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class EventLog;
class controlcm;

class Form1 : public QWidget {
  Q_OBJECT

public:
  // The window owns the component (never null) for its whole life.
  explicit Form1(std::unique_ptr<controlcm> component, QWidget *parent = nullptr);
  ~Form1() override;

  controlcm &controlcm1() const { return *controlcm1_; }

  // The controls, in keyboard order. Frame1 holds Command2, TxtPoll and Label7.
  QLineEdit *TxtHC;
  QLabel *Label1;
  QPushButton *Command1;
  QPushButton *ButInit;
  QPushButton *Command3;
  QLineEdit *TxtDim;
  QLineEdit *TxtComPort;
  QLabel *Label2;
  QLineEdit *TxtDC;
  QLabel *Label3;
  QComboBox *Combo1;
  EventLog *TxtEvent;
  QLabel *Label4;
  QLabel *Label5;
  QLabel *Label6;
  QGroupBox *Frame1;
  QPushButton *Command2;
  QLineEdit *TxtPoll;
  QLabel *Label7;
  QPushButton *Command4;
  QLineEdit *TxtData2;
  QLabel *Label8;
  QPushButton *ButClrCM11;
  QPushButton *Command5;
  QLineEdit *TxtData1;
  QLabel *Label9;

private:
  void createControls();
  void labelFields();
  void setKeyboardOrder();
  void wireHandlers();
  void onClick(QPushButton *button, void (*handler)(Form1 &));

  std::unique_ptr<controlcm> controlcm1_;
  HandlerGate gate_{this};
};
