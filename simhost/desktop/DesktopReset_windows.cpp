// Windows: the system's desktop keeps nothing of the stand-in host once its windows are gone.
namespace simhost {

void ResetNativeDesktop() {}

}  // namespace simhost
