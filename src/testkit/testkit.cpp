// The test kit: fakes shared by every test.
