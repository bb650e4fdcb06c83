// The program each library's link check builds: it only has to link.
int main() {
  return 0;
}
