#pragma once
// What the data operations work on and through: the question set, the user, the window,
// and the program-wide values (start folder, data folder, recently used files).
namespace rovik {

class DataListView;
class Prompter;
struct ProgramValues;
struct QuestionSet;

struct DataContext {
    QuestionSet& set;
    Prompter& prompter;
    DataListView& view;
    ProgramValues& values;
};

} // namespace rovik
