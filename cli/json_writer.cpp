#include "cli/json_writer.h"

#include "cli/text_escape.h"

namespace vantorico {

JsonObject& JsonObject::String(const char* key, const std::string& value) {
  return Json(key, JsonString(value));
}

JsonObject& JsonObject::Bool(const char* key, bool value) {
  return Json(key, value ? "true" : "false");
}

JsonObject& JsonObject::Null(const char* key) {
  return Json(key, "null");
}

JsonObject& JsonObject::Json(const char* key, const std::string& json) {
  if (text_.size() > 1) text_ += ',';
  text_ += JsonString(key);
  text_ += ':';
  text_ += json;
  return *this;
}

JsonArray& JsonArray::String(const std::string& value) {
  return Json(JsonString(value));
}

JsonArray& JsonArray::Json(const std::string& json) {
  if (text_.size() > 1) text_ += ',';
  text_ += json;
  return *this;
}

}  // namespace vantorico
