// The shell window's list of the run's steps, as the windows in front of it
// see it: they move the selection on as they proceed, and need nothing else
// of the shell window.
#pragma once

class StepTree {
public:
  // Makes node index (from 0) the selected one.
  virtual void SelectStep(int index) = 0;

protected:
  ~StepTree() = default;
};
