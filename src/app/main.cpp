// Entry point (being assembled).
int main() { return 1; }
