#pragma once

namespace dravilo {

class Program;

void Option1_Click(Program& p);  // the terminal type was chosen
void Text11_Change(Program& p);  // the price input changed

// The display's second and third fields in the price format: price and cost,
// unit weight and piece count, or weighings and total cost by the mode.
void ShowPriceAndCost(Program& p, double price, double cost);

}  // namespace dravilo
