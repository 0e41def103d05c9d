#pragma once

class QWidget;

// True when the stored mail account is complete; otherwise tells the user
// what is missing ("ﾒｰﾙ送信元ﾁｪｯｸ") and returns false.
bool sCheckMailAccount(QWidget* parent = nullptr);
