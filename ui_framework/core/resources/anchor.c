/* Merged with the compiled resources into one object: code that references this symbol
   pulls the object, and with it the resources, into every program using the library. */
const char corvel_resources_anchor = 0;
