import java.io.FileOutputStream;
import java.nio.file.Files;
import java.nio.file.Paths;
import jp.gr.java_conf.dangan.util.lha.CompressMethod;
import jp.gr.java_conf.dangan.util.lha.LhaHeader;
import jp.gr.java_conf.dangan.util.lha.LhaOutputStream;

public class LhaOneMember {
  public static void main(String[] args) throws Exception {
    byte[] data = Files.readAllBytes(Paths.get(args[0]));
    LhaHeader header = new LhaHeader(Paths.get(args[0]).getFileName().toString());
    header.setCompressMethod(CompressMethod.LH1);
    header.setHeaderLevel(0);
    try (LhaOutputStream out = new LhaOutputStream(new FileOutputStream(args[1]))) {
      out.putNextEntry(header);
      out.write(data);
      out.closeEntry();
    }
  }
}
