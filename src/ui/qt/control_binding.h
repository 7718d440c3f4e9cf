#pragma once

// Two-way binding of a control model and its widget: the model's changes are
// copied into the widget with its signals blocked; a person's edits and
// clicks go into the model, which then runs the control's event.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "ui/controls.h"
#include "ui/qt/lamp_widget.h"

namespace dravilo {

void Bind(Label& model, QLabel* widget);
void Bind(Frame& model, QGroupBox* widget);
void Bind(CommandButton& model, QPushButton* widget);
void Bind(TextBox& model, QLineEdit* widget);
void Bind(CheckBox& model, QCheckBox* widget);
void Bind(OptionButton& model, QRadioButton* widget);
void Bind(ComboBox& model, QComboBox* widget);
void Bind(Shape& model, LampWidget* widget);

}  // namespace dravilo
