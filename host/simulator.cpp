// Host simulator library (placeholder).
namespace cw::sim {
int Placeholder() { return 0; }
}
