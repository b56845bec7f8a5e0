#pragma once

class TFrmPrincipal;

// Registers every screen the program has with the main window's menu.
void RegistraTelas(TFrmPrincipal& main);
