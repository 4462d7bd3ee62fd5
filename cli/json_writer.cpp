#include "cli/json_writer.h"

#include "cli/text_escape.h"

namespace vantorico {

JsonObject& JsonObject::String(const char* key, const std::string& value) {
  return Json(key, JsonString(value));
}

JsonObject& JsonObject::String(const char* key, const char* value) {
  return Json(key, JsonString(value));
}

JsonObject& JsonObject::Bool(const char* key, bool value) {
  return Json(key, value ? "true" : "false");
}

JsonObject& JsonObject::Null(const char* key) {
  return Json(key, "null");
}

JsonObject& JsonObject::Signed(const char* key, int value) {
  return Json(key, std::to_string(value));
}

JsonObject& JsonObject::Unsigned(const char* key, unsigned long long value) {
  return Json(key, std::to_string(value));
}

JsonObject& JsonObject::Json(const char* key, const std::string& json) {
  Key(key);
  text_ += json;
  return *this;
}

void JsonObject::Key(const char* key) {
  if (text_.size() > 1) text_ += ',';
  text_ += '"';
  text_ += key;
  text_ += "\":";
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
