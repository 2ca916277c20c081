// Objects that project code keeps for the life of one runtime session (a
// letter run with its open PDF, for instance), found by name.
//
// The session owns every object kept here and destroys them when it ends,
// after its windows, so an object's destructor can finish what it holds
// (close a file) but must not reach the session. Keeping an object under a
// name already used destroys the earlier one first. Names are compared
// exactly. Single-threaded, like the session.
#ifndef VZ_PLATFORM_RUNTIME_SESSION_OBJECTS_H_
#define VZ_PLATFORM_RUNTIME_SESSION_OBJECTS_H_

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace vz::runtime {

class SessionObject {
 public:
  virtual ~SessionObject() = default;
};

class SessionObjects {
 public:
  // The object kept under the name, or nullptr.
  SessionObject* Find(std::string_view name) const {
    const auto it = objects_.find(name);
    return it == objects_.end() ? nullptr : it->second.get();
  }
  // REQUIRES: object is not null.
  SessionObject& Keep(std::string_view name, std::unique_ptr<SessionObject> object) {
    Drop(name);
    auto& slot = objects_[std::string(name)];
    slot = std::move(object);
    return *slot;
  }
  // Destroys the object kept under the name, if any.
  void Drop(std::string_view name) {
    const auto it = objects_.find(name);
    if (it == objects_.end()) return;
    std::unique_ptr<SessionObject> gone = std::move(it->second);
    objects_.erase(it);
  }

 private:
  std::map<std::string, std::unique_ptr<SessionObject>, std::less<>> objects_;
};

}  // namespace vz::runtime

#endif  // VZ_PLATFORM_RUNTIME_SESSION_OBJECTS_H_
