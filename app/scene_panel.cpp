#include "app/scene_panel.h"

#include <cmath>

#include "app/errors.h"
#include "app/path_policy.h"
#include "app/scene_parts.h"
#include "app/warnings.h"
#include "sdk/panel.h"
#include "sdk/ui.h"

using nlohmann::json;

namespace {
// A control id as a scene writes it: a whole number that fits.
int ControlId(const json& v, const std::string& where) {
  if (!v.is_number_integer() || v.get<double>() < 0 || v.get<double>() > 65535)
    throw InputError(where + ": a control id is a whole number from 0 to 65535, not " + v.dump());
  return v.get<int>();
}

void RunStep(const json& step, const ParamSource& src, const std::string& where) {
  if (!step.is_object() || step.contains("button") == step.contains("spinner"))
    throw InputError(
        where +
        ": a panel step is {\"button\": ID} (with an optional \"answer\") or {\"spinner\": ID, \"value\": NUMBER}");
  if (step.contains("spinner")) {
    CheckKeys(step, {"spinner", "value"}, where);
    const int id = ControlId(step["spinner"], where);
    const json value = step.value("value", json());
    if (!value.is_number() || !std::isfinite(value.get<double>()))
      throw InputError(where + ": \"value\" must be the number to type into spinner " + std::to_string(id));
    if (!UserSetSpinner(id, value.get<float>()))
      throw InputError(where + ": the open panel has no enabled spinner " + std::to_string(id) + " that takes " +
                       value.dump());
    return;
  }
  CheckKeys(step, {"button", "answer"}, where);
  const int id = ControlId(step["button"], where);
  ClearOpenFileAnswers();
  if (step.contains("answer") && !step["answer"].is_null()) {
    if (!step["answer"].is_string())
      throw InputError(where + ": \"answer\" is the path the file dialog answers, or null to cancel");
    // The dialog answers only files that exist, beside the scene like every file it names.
    const std::string path = SceneFile(step["answer"].get<std::string>(), src.baseDir, "file", where);
    CheckReadableFile(path, "file", where);
    QueueOpenFileAnswer(path);
  }
  const BOOL clicked = UserClick(id);
  ClearOpenFileAnswers();  // an answer no dialog asked for does not linger for a later one
  if (!clicked) throw InputError(where + ": the open panel has no enabled control " + std::to_string(id));
}
}  // namespace

void RunPanelSteps(const json& steps, const ParamSource& src) {
  if (!steps.is_array()) throw InputError(src.where + ": \"panel\" must be a list of steps");
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const std::string where = src.where + ": panel[" + std::to_string(i) + "]";
    RunStep(steps[i], src, where);
    ReportPluginLog(where);
  }
}
