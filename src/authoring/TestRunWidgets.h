#pragma once

class QPushButton;

namespace kadro {

// "Test" beside the time steps of the authoring view, and "Test Beenden" over the picture while
// a test run plays.
struct TestRunWidgets {
    QPushButton* TestButton = nullptr;
    QPushButton* TestBeendenPanel = nullptr;
};

} // namespace kadro
